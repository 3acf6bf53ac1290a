#include "Config.h"

#include "Desktop.h"

#include <cstdlib>

#ifndef FOCURA_E2E_TOOL_DEFAULT
#define FOCURA_E2E_TOOL_DEFAULT ""
#endif
#ifndef FOCURA_E2E_ZSIM_DEFAULT
#define FOCURA_E2E_ZSIM_DEFAULT ""
#endif
#ifndef FOCURA_E2E_STANDIN_DEFAULT
#define FOCURA_E2E_STANDIN_DEFAULT ""
#endif
#ifndef FOCURA_E2E_ZSIM_DLL_DEFAULT
#define FOCURA_E2E_ZSIM_DLL_DEFAULT ""
#endif
#ifndef FOCURA_E2E_OTHER_ZSIM_DLL_DEFAULT
#define FOCURA_E2E_OTHER_ZSIM_DLL_DEFAULT ""
#endif
#ifndef FOCURA_E2E_WORK_DEFAULT
#define FOCURA_E2E_WORK_DEFAULT ""
#endif

namespace focura::e2e {
namespace {

std::string Setting(const wchar_t* variable, const char* fallback) {
  wchar_t buf[1024];
  DWORD n = GetEnvironmentVariableW(variable, buf, 1024);
  if (n > 0 && n < 1024)
    return WinePath(Narrow(std::wstring(buf, n)));
  return WinePath(fallback);
}

}  // namespace

const Config& TheConfig() {
  static const Config config{
      Setting(L"FOCURA_E2E_TOOL", FOCURA_E2E_TOOL_DEFAULT),
      Setting(L"FOCURA_E2E_ZSIM", FOCURA_E2E_ZSIM_DEFAULT),
      Setting(L"FOCURA_E2E_STANDIN", FOCURA_E2E_STANDIN_DEFAULT),
      Setting(L"FOCURA_E2E_WORK", FOCURA_E2E_WORK_DEFAULT),
      Setting(L"FOCURA_E2E_ZSIM_DLL", FOCURA_E2E_ZSIM_DLL_DEFAULT),
      Setting(L"FOCURA_E2E_OTHER_ZSIM_DLL", FOCURA_E2E_OTHER_ZSIM_DLL_DEFAULT),
  };
  return config;
}

}  // namespace focura::e2e
