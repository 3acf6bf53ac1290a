#include "desktop/Process.h"

#include "desktop/Win32Text.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwctype>
#include <stdexcept>
#include <utility>
#include <vector>

namespace focura::desktop {

Process::Process(Process&& other) noexcept
    : handle_(std::move(other.handle_)), pid_(std::exchange(other.pid_, 0)) {}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    Terminate();
    handle_ = std::move(other.handle_);
    pid_ = std::exchange(other.pid_, 0);
  }
  return *this;
}

Process::~Process() {
  Terminate();
}

Process Process::Start(const std::string& commandLine, const std::string& directory) {
  std::wstring cmd = Wide(commandLine);
  std::vector<wchar_t> buffer(cmd.begin(), cmd.end());
  buffer.push_back(L'\0');
  const std::wstring dir = Wide(directory);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      dir.empty() ? nullptr : dir.c_str(), &si, &pi)) {
    throw std::runtime_error("cannot start " + commandLine + ": " + LastErrorText());
  }
  win32::ProcessHandles started(pi);
  Process p;
  p.handle_ = std::move(started.process);
  p.pid_ = pi.dwProcessId;
  return p;
}

Process Process::Open(unsigned long pid) {
  Process p;
  p.handle_.reset(
      OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!p.handle_)
    throw std::runtime_error("cannot open process " + std::to_string(pid));
  p.pid_ = pid;
  return p;
}

bool Process::Running() const {
  return handle_ && WaitForSingleObject(handle_.get(), 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(unsigned ms) const {
  return handle_ && WaitForSingleObject(handle_.get(), ms) == WAIT_OBJECT_0;
}

unsigned long Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle_)
    GetExitCodeProcess(handle_.get(), &code);
  return code;
}

void Process::Terminate() {
  if (!handle_)
    return;
  if (Running()) {
    TerminateProcess(handle_.get(), 1);
    WaitForSingleObject(handle_.get(), 5000);
  }
  handle_.reset();
  pid_ = 0;
}

namespace {

std::wstring Lower(std::wstring s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return s;
}

}  // namespace

std::vector<unsigned long> ProgramsUnder(const std::string& directory,
                                         const std::string& fileName) {
  const std::wstring prefix = Lower(Wide(directory)) + L"\\";
  const std::wstring name = Lower(Wide(fileName));
  std::vector<unsigned long> found;
  const win32::UniqueFile snapshotOwner(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshotOwner)
    return found;
  HANDLE snapshot = snapshotOwner.get();
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    const win32::UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process)
      continue;
    HANDLE h = process.get();
    wchar_t image[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(h, 0, image, &size)) {
      const std::wstring path = Lower(std::wstring(image, size));
      const std::wstring base = path.substr(path.find_last_of(L'\\') + 1);
      if (path.rfind(prefix, 0) == 0 && (name.empty() || base == name))
        found.push_back(entry.th32ProcessID);
    }
  }
  return found;
}

int EndProgramsUnder(const std::string& directory, const std::string& fileName) {
  int ended = 0;
  for (unsigned long pid : ProgramsUnder(directory, fileName)) {
    try {
      Process::Open(pid).Terminate();
      ++ended;
    } catch (...) {
      // It ended by itself meanwhile.
    }
  }
  return ended;
}

unsigned long RunToEnd(const std::string& commandLine, const std::string& directory, unsigned ms) {
  Process p = Process::Start(commandLine, directory);
  if (!p.WaitExit(ms))
    throw std::runtime_error("timed out: " + commandLine);
  unsigned long code = p.ExitCode();
  p.Terminate();
  return code;
}

}  // namespace focura::desktop
