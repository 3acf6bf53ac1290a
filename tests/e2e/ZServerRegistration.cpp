#include "ZServerRegistration.h"

#include "Process.h"
#include "Win32Text.h"

#include <algorithm>
#include <cwctype>
#include <stdexcept>

namespace focura::e2e {
namespace {

constexpr unsigned kRegistrationMs = 30000;

std::wstring ReadDefault(HKEY root, const std::wstring& subKey) {
  wchar_t buf[1024];
  DWORD size = sizeof buf;
  if (RegGetValueW(root, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return buf;
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
