#pragma once
// Keeps the server process alive while anyone holds an object, a server lock or (when the
// operator started it) the window; signals the main thread when the last of them is gone.

#include <windows.h>

#include <atomic>

namespace zsim::win32 {

class ServerLifetime {
 public:
  ServerLifetime();
  ~ServerLifetime();
  ServerLifetime(const ServerLifetime&) = delete;
  ServerLifetime& operator=(const ServerLifetime&) = delete;

  void Lock();
  void Unlock();
  bool EverLocked() const { return everLocked_; }
  HANDLE ExitEvent() const { return exit_; }

 private:
  HANDLE exit_;
  std::atomic<bool> everLocked_{false};
};

}  // namespace zsim::win32
