#pragma once
// Keeps the server process alive while anyone holds an object, a server lock or (when the
// operator started it) the window; signals the main thread when the last of them is gone.

#include <windows.h>

#include <atomic>

#include "win32/Owned.h"

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
  HANDLE ExitEvent() const { return exit_.get(); }
  // Waits up to `ms` until the last holder has let go or this thread is told to quit (WM_QUIT,
  // which is how a server is asked to end while clients still hold objects: they see it gone).
  // True when either happened.
  bool WaitForExit(DWORD ms);

 private:
  focura::win32::UniqueHandle exit_;
  std::atomic<bool> everLocked_{false};
};

}  // namespace zsim::win32
