#pragma once
// A run's progress on the main window's taskbar button, which stays visible while the capture
// program covers the window, and a flash of the button when a run ends behind another window.

#include <windows.h>

#include <cstdint>
#include <string>

#include "acq/RunProgress.h"

struct ITaskbarList3;

namespace focura::win32 {

class TaskbarProgress final : public RunProgress {
 public:
  // What the button shows. Awaiting: the run stands at its plane for the capture program's key
  // (shown paused, as a cancelled run is).
  enum class Shows { Nothing, Moving, Planes, Awaiting, Done, Paused, Error };

  // Watches the window's messages from now on: construct it before the window is shown, so the
  // shell's announcement of the button is not missed. The taskbar object is created when the
  // shell announces the button; where it never does or the object cannot be created (older
  // shells, Wine), the button shows nothing more than its flash, and nothing fails.
  explicit TaskbarProgress(HWND window);
  ~TaskbarProgress() override;
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  void Started(int32_t planes) override;
  void AtPlane(int32_t plane, int32_t planes) override;
  // The button's tooltip during the run ("Plane k of n, about m min left"); the window's title
  // again once the run has ended.
  void TimeLeft(const std::string& text) override;
  void Finished() override;
  void Cancelled() override;
  void Failed() override;
  void KeysAwaited(bool awaited) override;

  Shows Showing() const { return shows_; }
  // The tooltip asked of the button ("" for the window's title).
  const std::wstring& Tooltip() const { return tooltip_; }
  // Whether the shell's taskbar object is in use.
  bool HasTaskbarObject() const { return taskbar_ != nullptr; }

 private:
  static LRESULT CALLBACK Watch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR self);
  void ButtonCreated();
  void Ended(Shows how);
  void Apply();
  void ApplyTooltip();
  void Forget();

  HWND hwnd_;
  UINT buttonCreated_;
  ITaskbarList3* taskbar_ = nullptr;
  Shows shows_ = Shows::Nothing;
  int32_t plane_ = 0;
  int32_t planes_ = 0;
  std::wstring tooltip_;
};

}  // namespace focura::win32
