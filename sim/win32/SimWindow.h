#pragma once
// The simulator's own small window: position, motion, the joystick's jog and store buttons, the
// stored positions, the trigger lamp with its pulse count and the latest commands received. It
// runs on a thread of its own and reads the simulator on a timer and after every command, so it
// stays live while a caller waits in "Z Wait". "Show" and "Hide" decide whether it is visible.

#include <windows.h>

#include <functional>
#include <thread>

namespace zsim::win32 {

class SimHost;

class SimWindow {
 public:
  // `onUserClose` runs on the window's thread when the operator closes the window; without one
  // the window is only hidden.
  explicit SimWindow(SimHost& host, std::function<void()> onUserClose = {});
  ~SimWindow();
  SimWindow(const SimWindow&) = delete;
  SimWindow& operator=(const SimWindow&) = delete;

  HWND Handle() const { return hwnd_; }

 private:
  void Run(HANDLE ready);

  SimHost& host_;
  std::function<void()> onUserClose_;
  HWND hwnd_ = nullptr;
  std::thread thread_;
};

}  // namespace zsim::win32
