#include "SimHost.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>

#include "sim/core/SimError.h"

namespace zsim::win32 {

uint32_t SimHost::RealClock::NowMs() {
  return timeGetTime();
}

// Only ever called by the core while the calling thread holds the host's lock.
void SimHost::RealClock::Sleep(uint32_t ms) {
  held_.unlock();
  ::Sleep(std::min<uint32_t>(ms, 10));
  held_.lock();
}

SimHost::SimHost(const std::string& decimalSeparator)
    : clock_(mutex_), sim_(clock_, focura::NumberText(decimalSeparator)) {
  // Sleep and the counter follow the 1 ms period, so a "Z Wait" ends within a millisecond.
  timeBeginPeriod(1);
}

SimHost::~SimHost() {
  timeEndPeriod(1);
}

std::string SimHost::Exec(const std::string& command) {
  struct NotifyOnExit {
    SimHost* host;
    ~NotifyOnExit() { host->Notify(); }
  } notify{this};
  std::unique_lock lock(mutex_);
  return sim_.Exec(command);
}

SimSnapshot SimHost::Snapshot() {
  std::lock_guard lock(mutex_);
  return sim_.Snapshot();
}

void SimHost::SetVisible(bool visible) {
  {
    std::lock_guard lock(mutex_);
    sim_.SetVisible(visible);
  }
  Notify();
}

void SimHost::OpenLog(const std::filesystem::path& path) {
  std::lock_guard lock(mutex_);
  sim_.Record().OpenLog(path, clock_.NowMs());
}

std::string SimHost::Format4(double value) {
  std::lock_guard lock(mutex_);
  return sim_.Numbers().Format4(value);
}

void SimHost::SetObserver(std::function<void()> observer) {
  std::lock_guard lock(observerMutex_);
  observer_ = std::move(observer);
}

void SimHost::Notify() {
  std::lock_guard lock(observerMutex_);
  if (observer_)
    observer_();
}

std::filesystem::path LogPathFromEnvironment() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD n =
      GetEnvironmentVariableW(L"ZSIM_LOG", buffer, static_cast<DWORD>(std::size(buffer)));
  if (n == 0 || n >= std::size(buffer))
    return {};
  return std::filesystem::path(std::wstring(buffer, n));
}

}  // namespace zsim::win32
