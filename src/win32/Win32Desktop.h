#pragma once
// Programs, their windows, the keyboard and the clipboard of the Windows desktop.

#include <windows.h>

#include "capture/Desktop.h"

namespace focura::win32 {

class Win32Desktop : public Desktop {
 public:
  Win32Desktop();
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  // The task id is the process id.
  int32_t StartProgram(const std::string& commandLine) override;
  // Waits up to about a second for the task's first visible top-level window, then brings it to
  // the front. Throws PlatformError when the task shows no window.
  void ActivateTask(int32_t taskId) override;
  bool IsTaskForeground(int32_t taskId) override;
  // Returns once the foreground program has taken the keys off its queue (or a second passed).
  void SendKeys(const KeyStrokes& keys) override;
  void SetClipboardText(const std::string& text) override;

 private:
  HWND ClipboardOwner();

  HWND clipboardOwner_ = nullptr;
};

// The first visible, unowned top-level window of a process, or nullptr.
HWND FindTaskWindow(DWORD processId);

}  // namespace focura::win32
