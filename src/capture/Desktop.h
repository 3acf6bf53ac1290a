#pragma once

#include <cstdint>
#include <string>

#include "capture/KeyStroke.h"

namespace focura {

// The desktop around the tool: programs, their windows, the keyboard and the clipboard.
// Failures throw PlatformError with the system's reason.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // Starts a command line, its window shown normally and given the focus; returns its task id.
  virtual int32_t StartProgram(const std::string& commandLine) = 0;
  // Brings the window of a task to the front.
  virtual void ActivateTask(int32_t taskId) = 0;
  // Whether the foreground window belongs to the task.
  virtual bool IsTaskForeground(int32_t taskId) = 0;
  // Sends the keys to the window that has the focus and waits until they have been processed.
  virtual void SendKeys(const KeyStrokes& keys) = 0;
  // Clears the clipboard and puts the text on it.
  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace focura
