#pragma once
// Programs, their windows, the keyboard and the clipboard of the Windows desktop.

#include <windows.h>

#include <future>
#include <map>

#include "capture/Desktop.h"
#include "capture/TaskWindow.h"
#include "wait/Clock.h"
#include "win32/Owned.h"
#include "win32/Win32DesktopView.h"
#include "win32/Win32Keyboard.h"

namespace focura::win32 {

// The system's millisecond counter at whatever resolution it has: the key wait's looks last a
// quarter of a second.
class TickClock : public Clock {
 public:
  uint32_t NowMs() override { return GetTickCount(); }
};

class Win32Desktop : public Desktop {
 public:
  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  // The task id is the started process's id; its handle stays open while the tool runs, so the
  // id is never another program's. Returns once the program is ready for input (10 s at most).
  int32_t StartProgram(const std::string& commandLine) override;
  // Gives a program up to 10 s from its start to show a window (at least 1 s from now), then
  // asks that window to the front without waiting on its program.
  TaskActivation ActivateTask(int32_t taskId) override;
  bool IsTaskForeground(int32_t taskId) override;
  bool TaskResponding(int32_t taskId) override;
  std::optional<std::string> TaskDialog(int32_t taskId) override;
  // Waits for the window's own process, which need not be the one started.
  bool WaitTaskTextFocus(int32_t taskId) override;
  // Refuses keys that could not arrive; returns once the program in front has handled them.
  void SendKeys(const KeyStrokes& keys, KeyWaitWatcher& watcher) override;
  using Desktop::SendKeys;
  // The input desktop is not the one this program's windows are on, or cannot even be opened
  // (the system's own desktop of the lock screen, the secure screen saver or an elevation
  // prompt).
  bool DesktopLocked() override;
  void SetClipboardText(const std::string& text) override;

  // The window the task was last found to have, or nullptr.
  HWND TaskWindowOf(int32_t taskId) const;

 private:
  struct Task {
    TaskRecord record;
    DWORD startedAt = 0;
  };
  Task& TaskOf(int32_t taskId);
  // Looks at the desktop once; holds the process of a newly found window.
  TaskWindowFound Resolve(Task& task);
  TaskWindowFound Resolve(Task& task, const DesktopSnapshot& now);
  // Waits for a look under way on its thread and forgets it: the view is used by one thread at
  // a time.
  void DropLook();
  // Whether the window in front is the task's bound window, without a look at the whole desktop.
  bool BoundWindowInFront(const Task& task) const;
  HWND ClipboardOwner();

  Win32DesktopView view_;
  std::future<DesktopSnapshot> look_;
  int32_t lookFor_ = 0;
  Win32Keyboard keyboard_;
  TickClock clock_;
  std::map<int32_t, Task> tasks_;
  UniqueWindow clipboardOwner_;
};

}  // namespace focura::win32
