#pragma once
// Keeps the server process alive while anyone holds an object, a server lock or (when the
// operator started it) the window; signals the main thread when the last of them is gone.

#include <windows.h>

#include <atomic>

#include "ObjectLifetime.h"

namespace zsim::win32 {

class ServerLifetime final : public ObjectLifetime {
 public:
  ServerLifetime();
  ~ServerLifetime();
  ServerLifetime(const ServerLifetime&) = delete;
  ServerLifetime& operator=(const ServerLifetime&) = delete;

  void Lock() override;
  void Unlock() override;
  bool EverLocked() const { return everLocked_; }
  HANDLE ExitEvent() const { return exit_; }
  // Waits up to `ms` until the last holder has let go or this thread is told to quit (WM_QUIT,
  // which is how a server is asked to end while clients still hold objects: they see it gone).
  // True when either happened.
  bool WaitForExit(DWORD ms);

 private:
  HANDLE exit_;
  std::atomic<bool> everLocked_{false};
};

}  // namespace zsim::win32
