#include "win32/ZServerStartup.h"

#include <string>

#include "ui/Controls.h"
#include "win32/ComZServer.h"
#include "win32/Registry.h"
#include "win32/Utf.h"
#include "zserver/ServerWidth.h"

namespace focura::win32 {
namespace {

constexpr Width kThisWidth = sizeof(void*) == 4 ? Width::Bits32 : Width::Bits64;
constexpr REGSAM kOwnView = sizeof(void*) == 4 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

// The classes as COM reads them: HKEY_CLASSES_ROOT, the user's own merged with the machine's,
// in the 32-bit or the 64-bit view. (HKCU\Software\Classes alone would not do: Wine keeps one
// copy of it for both widths.) A 64-bit process reads the 32-bit view by its node: Wine (8.0)
// ignores KEY_WOW64_32KEY there, and Windows gives the same key either way.
std::wstring ReadClasses(const std::wstring& path, REGSAM view) {
  const bool node = sizeof(void*) == 8 && view == KEY_WOW64_32KEY;
  return node ? ReadRegString(HKEY_CLASSES_ROOT, L"Wow6432Node\\" + path)
              : ReadRegString(HKEY_CLASSES_ROOT, path, nullptr, view);
}

ClassEntries EntriesIn(const std::wstring& clsid, REGSAM view) {
  if (clsid.empty())
    return {};
  const std::wstring key = L"CLSID\\" + clsid + L"\\";
  return {!ReadClasses(key + L"InprocServer32", view).empty(),
          !ReadClasses(key + L"LocalServer32", view).empty()};
}

MissingServer WhyNoZServer() {
  // Windows shares a ProgID between the views; Wine keeps one per view.
  const std::wstring progId = Widen(kZServerProgId) + L"\\CLSID";
  std::wstring clsid = ReadClasses(progId, kOwnView);
  if (clsid.empty())
    clsid = ReadClasses(progId, kOtherView);
  return ClassifyFailedCreation(EntriesIn(clsid, kOwnView), EntriesIn(clsid, kOtherView));
}

}  // namespace

std::unique_ptr<ZServer> CreateZServerOrExplain(HWND owner, const ZServerFactory& builtIn) {
  try {
    return std::make_unique<ComZServer>(kZServerProgId);
  } catch (const ZServerUnavailable& e) {
    if (WhyNoZServer() == MissingServer::OtherWidthOnly) {
      // The simulator is no answer here: the real server is installed, only in the other width.
      MessageBoxW(owner, Widen(OtherWidthMessage(kThisWidth)).c_str(),
                  Widen(MainForm().caption).c_str(), MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
      throw StartupAbandoned();
    }
    if (builtIn) {
      const std::string text = std::string(e.what()) +
                               ".\n\nClick Yes to use the built-in simulator instead (a dry run: "
                               "no hardware moves), or No to quit.";
      if (MessageBoxW(owner, Widen(text).c_str(), Widen(MainForm().caption).c_str(),
                      MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND) == IDYES)
        return builtIn();
      throw StartupAbandoned();
    }
    const std::string text =
        std::string(e.what()) + ".\n\nThe Z axis cannot be driven without it. Click OK to quit.";
    MessageBoxW(owner, Widen(text).c_str(), Widen(MainForm().caption).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    throw StartupAbandoned();
  }
}

ProgIdClasses ReadProgIdClasses(const std::string& progId) {
  ProgIdClasses classes;
  const std::wstring wide = Widen(progId);
  CLSID clsid{};
  wchar_t text[64] = {};
  if (SUCCEEDED(CLSIDFromProgID(wide.c_str(), &clsid)) && StringFromGUID2(clsid, text, 64) > 0)
    classes.resolved = Narrow(text);
  classes.machine =
      Narrow(ReadRegString(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + wide + L"\\CLSID"));
  return classes;
}

}  // namespace focura::win32
