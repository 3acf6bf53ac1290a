#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "capture/KeyStroke.h"

namespace focura {

// How an activation ended: the window is asked to the front (whether it got there is
// IsTaskForeground's to say), the program shows no window, or it has ended and left none.
enum class TaskActivation { Asked, NoWindow, Ended };

// Told when a program has kept the tool waiting for its keys long enough for the operator to be
// shown why nothing moves, and when that wait is over. Must not throw: it is a courtesy.
class KeyWaitWatcher {
 public:
  virtual ~KeyWaitWatcher() = default;
  virtual void KeysAwaited(bool awaited) = 0;
};

// For keys nobody needs to be told about.
class NoKeyWaitWatcher final : public KeyWaitWatcher {
 public:
  void KeysAwaited(bool) override {}
};

// The desktop around the tool: programs, their windows, the keyboard and the clipboard.
// Failures throw PlatformError with the system's reason.
class Desktop {
 public:
  virtual ~Desktop() = default;
  // Starts a command line, its window shown normally and given the focus; returns its task id
  // once the program is ready for input. The task stands for the program, whichever process
  // ends up showing its window.
  virtual int32_t StartProgram(const std::string& commandLine) = 0;
  // Brings the window of a task to the front, without waiting on the program itself.
  virtual TaskActivation ActivateTask(int32_t taskId) = 0;
  // Whether the task's window is enabled and is, or owns, the foreground window: the only place
  // where a key reaches the program's main window and not one of its dialogs.
  virtual bool IsTaskForeground(int32_t taskId) = 0;
  // Whether the program of the task's window reads its messages (the system's own test: not for
  // 5 s is "not responding"); true for a task without a window.
  virtual bool TaskResponding(int32_t taskId) = 0;
  // The title of the dialog that keeps the task's window disabled (a modal "card full" or error
  // message, whose default button a key would press); nullopt while that window is enabled.
  virtual std::optional<std::string> TaskDialog(int32_t taskId) = 0;
  // Waits until the program that owns the task's window is ready for input and the keyboard focus
  // is in a text field of that window; false when that could not be confirmed within a few
  // seconds.
  virtual bool WaitTaskTextFocus(int32_t taskId) = 0;
  // Sends the keys to the window that has the focus and waits until they have been processed,
  // telling `watcher` when that wait grows long. Throws PlatformError when they cannot arrive
  // (nothing is sent), or the program ended or hung before it took them, or did not within the
  // wait's bound.
  virtual void SendKeys(const KeyStrokes& keys, KeyWaitWatcher& watcher) = 0;
  void SendKeys(const KeyStrokes& keys) {
    NoKeyWaitWatcher nobody;
    SendKeys(keys, nobody);
  }
  // Whether the desktop is locked or a secure screen saver runs: the input goes to the system's
  // own desktop, where no window of the tool's can be brought to the front or given keys.
  virtual bool DesktopLocked() = 0;
  // Clears the clipboard and puts the text on it.
  virtual void SetClipboardText(const std::string& text) = 0;
};

}  // namespace focura
