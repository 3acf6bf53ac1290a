#include "PcFacts.h"

#include <windows.h>

#include "win32/RegionalSettings.h"
#include "win32/Utf.h"

namespace focura::check {

namespace {

std::string WindowsVersion() {
  // GetVersionEx answers what the manifest declares; the kernel's own call answers the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  if (get == nullptr || get(&v) != 0)
    return "unknown";
  std::string text = std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) +
                     " build " + std::to_string(v.dwBuildNumber);
  // Windows 11 still answers 10.0; its builds start at 22000.
  if (v.dwMajorVersion == 10 && v.dwBuildNumber >= 22000)
    text += " (Windows 11)";
  else if (v.dwMajorVersion == 10)
    text += " (Windows 10)";
  return text;
}

std::string SystemDpi() {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(nullptr, dc);
  return std::to_string(dpi) + " dpi (" + std::to_string(MulDiv(dpi, 100, 96)) + " %)";
}

std::string KeyboardLayout() {
  wchar_t id[KL_NAMELENGTH] = {};
  GetKeyboardLayoutNameW(id);
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const LANGID lang = LOWORD(reinterpret_cast<ULONG_PTR>(GetKeyboardLayout(0)));
  LCIDToLocaleName(MAKELCID(lang, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0);
  return win32::Narrow(id) + (name[0] ? " (" + win32::Narrow(name) + ")" : std::string());
}

}  // namespace

std::string WineVersion() {
  using WineGetVersionFn = const char*(CDECL*)();
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<WineGetVersionFn>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
                   : nullptr;
  return get ? get() : "";
}

bool Elevated() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool ok =
      GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0;
  CloseHandle(token);
  return ok && elevation.TokenIsElevated != 0;
}

ReportFacts PcFacts() {
  ReportFacts facts;
  facts.emplace_back("Windows version", WindowsVersion());
  if (const std::string wine = WineVersion(); !wine.empty())
    facts.emplace_back("Wine", wine + " (checks Wine cannot show are skipped)");
  facts.emplace_back("Display DPI", SystemDpi());
  facts.emplace_back("Keyboard layout", KeyboardLayout());
  facts.emplace_back("Decimal separator", "\"" + win32::RegionalDecimalSeparator() + "\"");
  const char* elevated = "no";
  if (Elevated())
    elevated = WineVersion().empty() ? "yes: run the check again as a normal user"
                                     : "yes (Wine runs every program so)";
  facts.emplace_back("Elevated (administrator)", elevated);
  SYSTEMTIME t{};
  GetLocalTime(&t);
  char when[32];
  wsprintfA(when, "%04u-%02u-%02u %02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  facts.emplace_back("Checked at", when);
  return facts;
}

}  // namespace focura::check
