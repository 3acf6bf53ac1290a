#include "SimTestSupport.h"

#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "win32/Owned.h"

namespace zsim::test {

DWORD RunZsim(const std::wstring& args) {
  std::wstring exe;
  for (const char* p = ZSIM_EXE; *p != '\0'; ++p)
    exe += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
  std::wstring commandLine = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &si, &pi))
    throw std::runtime_error("zsim.exe could not be started");
  const focura::win32::ProcessHandles zsim(pi);
  const DWORD waited = WaitForSingleObject(zsim.process.get(), 30000);
  DWORD code = 0;
  GetExitCodeProcess(zsim.process.get(), &code);
  if (waited != WAIT_OBJECT_0)
    throw std::runtime_error("zsim.exe did not end");
  return code;
}

std::wstring TempFile(const std::wstring& stem) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L".log";
}

bool WaitFor(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition())
      return true;
    if (GetTickCount() - start > ms)
      return condition();
    Sleep(20);
  }
}

int ZsimProcesses() {
  const focura::win32::UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return -1;
  HANDLE snap = snapshot.get();
  int n = 0;
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    if (_wcsicmp(pe.szExeFile, L"zsim.exe") == 0)
      ++n;
  }
  return n;
}

std::vector<std::vector<std::string>> ReadRecord(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::vector<std::vector<std::string>> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::vector<std::string> fields;
    std::stringstream s(line);
    std::string f;
    while (std::getline(s, f, '\t'))
      fields.push_back(f);
    lines.push_back(fields);
  }
  return lines;
}

}  // namespace zsim::test
