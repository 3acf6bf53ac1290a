#include "win32/TaskbarProgress.h"

// After windows.h, which they need.
#include <commctrl.h>
#include <shobjidl.h>

#include "win32/Utf.h"

namespace focura::win32 {
namespace {

constexpr UINT_PTR kWatchId = 0x5442;

bool InFront(HWND window) {
  HWND front = GetForegroundWindow();
  // A dialog the window owns (the input box) counts as the window.
  return front != nullptr && GetAncestor(front, GA_ROOTOWNER) == window;
}

void Flash(HWND window, DWORD how) {
  FLASHWINFO flash{};
  flash.cbSize = sizeof flash;
  flash.hwnd = window;
  flash.dwFlags = how;
  FlashWindowEx(&flash);
}

}  // namespace

TaskbarProgress::TaskbarProgress(HWND window)
    : hwnd_(window), buttonCreated_(RegisterWindowMessageW(L"TaskbarButtonCreated")) {
  if (hwnd_ == nullptr)
    return;
  // The shell runs at a lower integrity level than an elevated tool, whose window would
  // otherwise never hear the announcement.
  if (buttonCreated_ != 0)
    ChangeWindowMessageFilterEx(hwnd_, buttonCreated_, MSGFLT_ALLOW, nullptr);
  SetWindowSubclass(hwnd_, &TaskbarProgress::Watch, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

TaskbarProgress::~TaskbarProgress() {
  Forget();
}

void TaskbarProgress::Forget() {
  if (hwnd_ != nullptr)
    RemoveWindowSubclass(hwnd_, &TaskbarProgress::Watch, kWatchId);
  hwnd_ = nullptr;
  if (taskbar_ != nullptr)
    taskbar_->Release();
  taskbar_ = nullptr;
}

LRESULT CALLBACK TaskbarProgress::Watch(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) {
  auto* progress = reinterpret_cast<TaskbarProgress*>(self);
  if (msg == progress->buttonCreated_ && msg != 0) {
    progress->ButtonCreated();
  } else if (msg == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) {
    // The operator is back after the end and has the status line in view: the button has said
    // what it had to say.
    const Shows s = progress->shows_;
    if (s == Shows::Done || s == Shows::Paused || s == Shows::Error) {
      progress->shows_ = Shows::Nothing;
      progress->Apply();
    }
  } else if (msg == WM_NCDESTROY) {
    progress->Forget();
  }
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

void TaskbarProgress::ButtonCreated() {
  // Sent again when the shell restarts: the object stays, and what it shows is given again.
  if (taskbar_ == nullptr) {
    void* object = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, &object))) {
      auto* list = static_cast<ITaskbarList3*>(object);
      if (SUCCEEDED(list->HrInit()))
        taskbar_ = list;
      else
        list->Release();
    }
  }
  Apply();
  ApplyTooltip();
}

void TaskbarProgress::Started(int32_t planes) {
  plane_ = 0;
  planes_ = planes;
  shows_ = Shows::Moving;
  Apply();
}

void TaskbarProgress::AtPlane(int32_t plane, int32_t planes) {
  plane_ = plane;
  planes_ = planes;
  shows_ = Shows::Planes;
  Apply();
}

void TaskbarProgress::TimeLeft(const std::string& text) {
  tooltip_ = Widen(text);
  ApplyTooltip();
}

void TaskbarProgress::ApplyTooltip() {
  if (taskbar_ == nullptr || hwnd_ == nullptr)
    return;
  // Without a text the shell shows the window's title, as outside a run.
  taskbar_->SetThumbnailTooltip(hwnd_, tooltip_.empty() ? nullptr : tooltip_.c_str());
}

void TaskbarProgress::Finished() {
  plane_ = planes_;
  Ended(Shows::Done);
}

void TaskbarProgress::Cancelled() {
  Ended(Shows::Paused);
}

void TaskbarProgress::Failed() {
  Ended(Shows::Error);
}

void TaskbarProgress::KeysAwaited(bool awaited) {
  if (awaited && shows_ == Shows::Planes)
    shows_ = Shows::Awaiting;
  else if (!awaited && shows_ == Shows::Awaiting)
    shows_ = Shows::Planes;
  else
    return;
  Apply();
}

void TaskbarProgress::Ended(Shows how) {
  shows_ = how;
  Apply();
  tooltip_.clear();
  ApplyTooltip();
  if (hwnd_ != nullptr && !InFront(hwnd_))
    Flash(hwnd_, FLASHW_TRAY | FLASHW_TIMERNOFG);
}

void TaskbarProgress::Apply() {
  if (taskbar_ == nullptr || hwnd_ == nullptr)
    return;
  // What the button shows repeats the status line: a call the shell refuses costs nothing more.
  TBPFLAG state = TBPF_NOPROGRESS;
  switch (shows_) {
    case Shows::Nothing:
      break;
    case Shows::Moving:
      state = TBPF_INDETERMINATE;
      break;
    case Shows::Planes:
    case Shows::Done:
      state = TBPF_NORMAL;
      break;
    case Shows::Awaiting:
    case Shows::Paused:
      state = TBPF_PAUSED;
      break;
    case Shows::Error:
      state = TBPF_ERROR;
      break;
  }
  // Setting a value turns a moving bar into a normal one, so the state goes second. A run that
  // ended before its first plane has no value: from the moving bar the shell shows the colour
  // over a bar of its own length.
  if (state != TBPF_NOPROGRESS && state != TBPF_INDETERMINATE && plane_ > 0 && planes_ > 0)
    taskbar_->SetProgressValue(hwnd_, static_cast<ULONGLONG>(plane_),
                               static_cast<ULONGLONG>(planes_));
  taskbar_->SetProgressState(hwnd_, state);
}

}  // namespace focura::win32
