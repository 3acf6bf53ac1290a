#include "ZServerRegistration.h"

#include "Desktop.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

namespace focura::e2e {
namespace {

constexpr unsigned kRegistrationMs = 30000;

std::wstring ReadDefault(HKEY root, const std::wstring& subKey, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
    return {};
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  const LSTATUS s = RegGetValueW(key, nullptr, nullptr, RRF_RT_REG_SZ, nullptr, buf, &size);
  RegCloseKey(key);
  return s == ERROR_SUCCESS ? std::wstring(buf) : std::wstring();
}

constexpr bool k32Bit = sizeof(void*) == 4;

REGSAM ViewOf(DllWidth width) {
  return (width == DllWidth::Own) == k32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

// regsvr32 of the wanted width: a 32-bit process sees the 32-bit one as system32 and reaches the
// 64-bit one through sysnative; a 64-bit process finds the 32-bit one in syswow64.
std::string Regsvr32(DllWidth width) {
  wchar_t windows[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
  const char* folder = width == DllWidth::Own ? "system32" : (k32Bit ? "sysnative" : "syswow64");
  return Narrow(std::wstring(windows, n)) + "\\" + folder + "\\regsvr32.exe";
}

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

// The per-user classes come before the machine's, as COM looks them up.
std::wstring ReadClassesDefault(const std::wstring& subKey) {
  std::wstring value = ReadDefault(HKEY_CURRENT_USER, L"Software\\Classes\\" + subKey);
  if (value.empty())
    value = ReadDefault(HKEY_LOCAL_MACHINE, L"Software\\Classes\\" + subKey);
  return value;
}

}  // namespace

std::string RegisteredServerCommand() {
  const std::wstring clsid = ReadClassesDefault(Wide(kZServerProgId) + L"\\CLSID");
  if (clsid.empty())
    return {};
  return Narrow(ReadClassesDefault(L"CLSID\\" + clsid + L"\\LocalServer32"));
}

std::string RegisteredDll(DllWidth width) {
  const REGSAM view = ViewOf(width);
  // What COM reads, in that view (Wine keeps one HKCU\Software\Classes for both widths). Wine
  // (8.0) ignores KEY_WOW64_32KEY there: a 64-bit process reads the 32-bit view by its node.
  const auto read = [](const std::wstring& sub, REGSAM v) {
    const bool node = !k32Bit && v == KEY_WOW64_32KEY;
    return node ? ReadDefault(HKEY_CLASSES_ROOT, L"Wow6432Node\\" + sub)
                : ReadDefault(HKEY_CLASSES_ROOT, sub, v);
  };
  // Windows shares a ProgID between the views; Wine keeps one per view.
  const std::wstring progId = Wide(kZServerProgId) + L"\\CLSID";
  std::wstring clsid = read(progId, view);
  if (clsid.empty())
    clsid = read(progId, ViewOf(width == DllWidth::Own ? DllWidth::Other : DllWidth::Own));
  if (clsid.empty())
    return {};
  return Narrow(read(L"CLSID\\" + clsid + L"\\InprocServer32", view));
}

void RegisterDllServer(const std::string& dll, DllWidth width, const std::string& recordPath,
                       const std::string& directory) {
  // /n /i: DllInstall alone, which takes the recorder's file; the inner quotes keep a path with
  // blanks one argument.
  const std::string command =
      "\"" + Regsvr32(width) + "\" /s /n \"/i:/Log \\\"" + recordPath + "\\\"\" \"" + dll + "\"";
  const unsigned long code = RunToEnd(command, directory, kRegistrationMs);
  if (code != 0)
    throw std::runtime_error(command + " ended with code " + std::to_string(code));
  const std::string server = RegisteredDll(width);
  if (Lower(Wide(server)) != Lower(Wide(dll)))
    throw std::runtime_error("the Z server's class leads to \"" + server + "\", not to " + dll);
}

void UnregisterDllServer(const std::string& dll, DllWidth width, const std::string& directory) {
  const std::string command = "\"" + Regsvr32(width) + "\" /s /u \"" + dll + "\"";
  const unsigned long code = RunToEnd(command, directory, kRegistrationMs);
  if (code != 0)
    throw std::runtime_error(command + " ended with code " + std::to_string(code));
  if (!RegisteredDll(width).empty())
    throw std::runtime_error("the Z server's class still leads to a DLL after " + command);
}

void RegisterZServerCopy(const std::string& zsimExe, const std::string& recordPath,
                         const std::string& directory) {
  const std::string command = "\"" + zsimExe + "\" /RegServer /Log \"" + recordPath + "\"";
  const unsigned long code = RunToEnd(command, directory, kRegistrationMs);
  if (code != 0)
    throw std::runtime_error(command + " ended with code " + std::to_string(code));
  const std::string server = RegisteredServerCommand();
  if (Lower(Wide(server)).find(Lower(Wide(zsimExe))) == std::wstring::npos)
    throw std::runtime_error("the Z server's ProgID leads to \"" + server + "\", not to " +
                             zsimExe);
}

void UnregisterZServerCopy(const std::string& zsimExe, const std::string& directory) {
  const std::string command = "\"" + zsimExe + "\" /UnregServer";
  const unsigned long code = RunToEnd(command, directory, kRegistrationMs);
  if (code != 0)
    throw std::runtime_error(command + " ended with code " + std::to_string(code));
  if (!RegisteredServerCommand().empty())
    throw std::runtime_error("the Z server's ProgID is still registered after /UnregServer");
}

}  // namespace focura::e2e
