#include "win32/Win32Desktop.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "capture/PlatformError.h"
#include "win32/ErrorText.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

constexpr DWORD kStartWaitMs = 10000;  // for a program to be ready and to show its window
constexpr DWORD kWindowWaitMs = 1000;  // at least, for a window that is not there right now
constexpr DWORD kFrontWaitMs = 1000;
// For the program of a window to be ready for text; short enough that the tool's own window,
// which does not read its messages meanwhile, never turns into a ghost.
constexpr DWORD kTextFocusWaitMs = 3000;
constexpr int kClipboardAttempts = 10;

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  if (hwnd != nullptr)
    GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::string ExeNameOf(HANDLE process) {
  wchar_t path[MAX_PATH];
  DWORD size = MAX_PATH;
  if (!QueryFullProcessImageNameW(process, 0, path, &size))
    return {};
  std::wstring name(path, size);
  const size_t slash = name.find_last_of(L"\\/");
  if (slash != std::wstring::npos)
    name.erase(0, slash + 1);
  return Narrow(name);
}

// Restores the window without waiting on its program (a busy program must not hang the tool)
// and asks for the foreground, which raises it. Windows hands the foreground only to the program
// that has it; joining the input of the foreground thread for a moment lets this program pass it
// on.
void AskToFront(HWND target) {
  if (IsIconic(target))
    ShowWindowAsync(target, SW_RESTORE);
  if (SetForegroundWindow(target) && GetForegroundWindow() == target)
    return;
  const DWORD self = GetCurrentThreadId();
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const bool attached = foregroundThread != 0 && foregroundThread != self &&
                        AttachThreadInput(self, foregroundThread, TRUE);
  SetForegroundWindow(target);
  if (attached)
    AttachThreadInput(self, foregroundThread, FALSE);
}

// Whether `window` is `front` or owns it, directly or through other owned windows.
bool IsOrOwns(HWND window, HWND front) {
  for (HWND w = front; w != nullptr; w = GetWindow(w, GW_OWNER)) {
    if (w == window)
      return true;
  }
  return false;
}

std::string WindowTitle(HWND window) {
  // The caption is read from the window's own record, without a message to a busy program.
  wchar_t title[256] = {};
  const int n = GetWindowTextW(window, title, 256);
  return n > 0 ? Narrow(std::wstring(title, static_cast<size_t>(n))) : std::string();
}

std::string DesktopName(HDESK desktop) {
  wchar_t name[256] = {};
  DWORD needed = 0;
  if (desktop == nullptr ||
      !GetUserObjectInformationW(desktop, UOI_NAME, name, sizeof name - sizeof(wchar_t), &needed))
    return {};
  return Narrow(name);
}

// A look at the desktop on one of the process's pool threads, which are there already: a thread
// of its own would take a millisecond to start.
struct LookJob {
  Win32DesktopView* view;
  std::promise<DesktopSnapshot> done;
};

void CALLBACK RunLook(PTP_CALLBACK_INSTANCE, void* context) {
  std::unique_ptr<LookJob> job(static_cast<LookJob*>(context));
  try {
    job->done.set_value(job->view->Snapshot());
  } catch (...) {
    job->done.set_exception(std::current_exception());
  }
}

std::future<DesktopSnapshot> StartLook(Win32DesktopView& view) {
  auto job = std::make_unique<LookJob>();
  job->view = &view;
  std::future<DesktopSnapshot> look = job->done.get_future();
  if (TrySubmitThreadpoolCallback(RunLook, job.get(), nullptr)) {
    job.release();  // the callback owns it now
  } else {
    job->done.set_value(view.Snapshot());  // no pool thread: the look is made here
  }
  return look;
}

class ClipboardSession {
 public:
  explicit ClipboardSession(HWND owner) {
    for (int i = 0; i < kClipboardAttempts && !open_; ++i) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_)
        Sleep(20);
    }
    if (!open_)
      throw PlatformError("The clipboard is in use: " + SystemErrorText(GetLastError()));
  }
  ~ClipboardSession() {
    if (open_)
      CloseClipboard();
  }
  ClipboardSession(const ClipboardSession&) = delete;
  ClipboardSession& operator=(const ClipboardSession&) = delete;

 private:
  bool open_ = false;
};

}  // namespace

Win32Desktop::Win32Desktop() = default;

Win32Desktop::~Win32Desktop() {
  DropLook();  // the view must outlive a look under way
}

int32_t Win32Desktop::StartProgram(const std::string& commandLine) {
  DropLook();
  const DesktopSnapshot before = view_.Snapshot();
  std::wstring line = Widen(commandLine);
  line.push_back(L'\0');  // CreateProcessW may write into the command line
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    throw PlatformError("Cannot start \"" + commandLine + "\": " + SystemErrorText(GetLastError()));
  }
  ProcessHandles started(pi);
  const std::string exe = ExeNameOf(started.process.get());
  // Ready: its thread waits for input for the first time (at once for a program without windows).
  WaitForInputIdle(started.process.get(), kStartWaitMs);
  view_.Hold(pi.dwProcessId, std::move(started.process), exe);
  const auto id = static_cast<int32_t>(pi.dwProcessId);
  Task& task = tasks_[id] = {RecordLaunch(pi.dwProcessId, exe, before), GetTickCount()};
  // Found now, the task is bound to its program at once: a later copy can never be taken for it.
  Resolve(task);
  return id;
}

Win32Desktop::Task& Win32Desktop::TaskOf(int32_t taskId) {
  auto it = tasks_.find(taskId);
  if (it == tasks_.end())
    throw PlatformError("No program was started as task " + std::to_string(taskId));
  return it->second;
}

void Win32Desktop::DropLook() {
  if (look_.valid())
    look_.get();
}

TaskWindowFound Win32Desktop::Resolve(Task& task) {
  DropLook();
  return Resolve(task, view_.Snapshot());
}

TaskWindowFound Win32Desktop::Resolve(Task& task, const DesktopSnapshot& now) {
  if (GetTickCount() - task.startedAt > kStartWaitMs)
    task.record.handOverOpen = false;
  const uint32_t boundBefore = task.record.boundProcess;
  const TaskRecord before = task.record;
  TaskWindowFound found = ResolveTaskWindow(task.record, now);
  if (found.state == TaskWindowState::Found && task.record.boundProcess != boundBefore) {
    // The window's program must be held before it counts, or its id could pass to another.
    for (const auto& p : now.processes) {
      if (p.id == found.process && !view_.HoldSeen(p)) {
        task.record = before;
        return {TaskWindowState::NotYet, 0, 0};
      }
    }
  }
  return found;
}

TaskActivation Win32Desktop::ActivateTask(int32_t taskId) {
  Task& task = TaskOf(taskId);
  DropLook();
  const DWORD now = GetTickCount();
  const DWORD sinceStart = now - task.startedAt;
  // A look at the whole desktop costs about 10 ms under Wine, which would come straight before
  // the key. A window in front that is still the bound one of the bound process is the one a
  // look would find, unless the binding may move: while the hand-over is open, and at any time
  // while the started process (maybe a launcher) holds it. Then the look is made all the same,
  // on a pool thread while the caller waits its key delay, and the check before the key goes by
  // it.
  if (BoundWindowInFront(task)) {
    if (sinceStart < kStartWaitMs || task.record.boundProcess == task.record.process) {
      lookFor_ = taskId;
      look_ = StartLook(view_);
    }
    return TaskActivation::Asked;
  }
  const DWORD wait = sinceStart < kStartWaitMs ? std::max(kStartWaitMs - sinceStart, kWindowWaitMs)
                                               : kWindowWaitMs;
  // A program that ended after showing its window has ended for good; before that, and while
  // the hand-over is open, the end of the started process may be a hand-over under way.
  const auto settled = [&](const TaskWindowFound& f) {
    return f.state == TaskWindowState::Found ||
           (f.state == TaskWindowState::Ended &&
            (task.record.boundProcess != 0 || !task.record.handOverOpen));
  };
  TaskWindowFound found = Resolve(task);
  while (!settled(found) && GetTickCount() - now < wait) {
    Sleep(20);
    found = Resolve(task);
  }
  if (found.state == TaskWindowState::Ended)
    return TaskActivation::Ended;
  if (found.state == TaskWindowState::NotYet)
    return TaskActivation::NoWindow;

  const HWND target = reinterpret_cast<HWND>(found.window);
  if (GetForegroundWindow() == target)
    return TaskActivation::Asked;
  // Under X11 the focus change is asynchronous and a window manager may hand the focus to
  // another window of the task for a moment: ask again until the target itself is in front.
  const DWORD asked = GetTickCount();
  do {
    AskToFront(target);
    for (int i = 0; i < 5 && GetForegroundWindow() != target; ++i)
      Sleep(10);
  } while (GetForegroundWindow() != target && GetTickCount() - asked < kFrontWaitMs);
  return TaskActivation::Asked;
}

bool Win32Desktop::IsTaskForeground(int32_t taskId) {
  auto it = tasks_.find(taskId);
  if (it == tasks_.end())
    return false;
  TaskWindowFound found;
  if (look_.valid() && lookFor_ == taskId) {
    found = Resolve(it->second, look_.get());
  } else if (BoundWindowInFront(it->second)) {
    // The window the activation found in front, still there: the check right before the key
    // needs no look at the whole desktop.
    return IsWindowEnabled(reinterpret_cast<HWND>(it->second.record.window)) != FALSE;
  } else {
    found = Resolve(it->second);
  }
  // A disabled window has a modal dialog open, which would take the key.
  const HWND window = reinterpret_cast<HWND>(found.window);
  return found.state == TaskWindowState::Found && IsWindowEnabled(window) &&
         IsOrOwns(window, GetForegroundWindow());
}

bool Win32Desktop::TaskResponding(int32_t taskId) {
  // The system's own test reads a time it keeps; it sends the program nothing.
  const HWND window = TaskWindowOf(taskId);
  return window == nullptr || !IsWindow(window) || !IsHungAppWindow(window);
}

std::optional<std::string> Win32Desktop::TaskDialog(int32_t taskId) {
  auto it = tasks_.find(taskId);
  if (it == tasks_.end())
    return std::nullopt;
  const HWND window = reinterpret_cast<HWND>(it->second.record.window);
  if (window == nullptr || !IsWindow(window) || IsWindowEnabled(window))
    return std::nullopt;
  // The dialog is the window in front when it is the program's, else the popup the window last
  // had active (the dialog that disabled it).
  const HWND front = GetForegroundWindow();
  HWND dialog = front != nullptr && ProcessOf(front) == ProcessOf(window) && front != window
                    ? front
                    : GetLastActivePopup(window);
  if (dialog == window)
    dialog = nullptr;
  return dialog != nullptr ? WindowTitle(dialog) : std::string();
}

bool Win32Desktop::WaitTaskTextFocus(int32_t taskId) {
  Task& task = TaskOf(taskId);
  const TaskWindowFound found = Resolve(task);
  if (found.state != TaskWindowState::Found)
    return false;
  const HWND window = reinterpret_cast<HWND>(found.window);
  DWORD pid = 0;
  const DWORD thread = GetWindowThreadProcessId(window, &pid);
  if (thread == 0)
    return false;
  // The process is held by the view, so the id is still the window's program.
  UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
  if (!process)
    process.reset(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process)
    return false;
  const DWORD begin = GetTickCount();
  const DWORD idle = WaitForInputIdle(process.get(), kTextFocusWaitMs);
  process.reset();
  if (idle != 0)
    return false;
  do {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus != nullptr &&
        GetAncestor(gui.hwndFocus, GA_ROOT) == window) {
      wchar_t name[256];
      const int n = GetClassNameW(gui.hwndFocus, name, 256);
      if (n > 0 && IsTextFieldClass(Narrow(std::wstring(name, static_cast<size_t>(n)))))
        return true;
    }
    Sleep(20);
  } while (GetTickCount() - begin < kTextFocusWaitMs);
  return false;
}

bool Win32Desktop::BoundWindowInFront(const Task& task) const {
  const TaskRecord& r = task.record;
  if (r.boundProcess == 0 || r.window == 0)
    return false;
  const HWND front = GetForegroundWindow();
  // The bound process is held, so its id is not another program's; a window of it that is in
  // front is visible and its process alive. Owned windows never bind, and ownership is fixed.
  return front == reinterpret_cast<HWND>(r.window) && ProcessOf(front) == r.boundProcess &&
         view_.Holds(r.boundProcess) && GetWindow(front, GW_OWNER) == nullptr;
}

HWND Win32Desktop::TaskWindowOf(int32_t taskId) const {
  auto it = tasks_.find(taskId);
  return it == tasks_.end() ? nullptr : reinterpret_cast<HWND>(it->second.record.window);
}

void Win32Desktop::SendKeys(const KeyStrokes& keys, KeyWaitWatcher& watcher) {
  DeliverKeys(keyboard_, clock_, watcher, keys);
}

bool Win32Desktop::DesktopLocked() {
  // A process of the user cannot open the system's own desktop: failing to is the lock itself.
  HDESK input = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
  if (input == nullptr)
    return true;
  const std::string inputName = DesktopName(input);
  CloseDesktop(input);
  const std::string ownName = DesktopName(GetThreadDesktop(GetCurrentThreadId()));
  return !inputName.empty() && !ownName.empty() && inputName != ownName;
}

HWND Win32Desktop::ClipboardOwner() {
  // Clipboard data can only be set by a session that has an owner window.
  if (!clipboardOwner_) {
    clipboardOwner_.reset(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          GetModuleHandleW(nullptr), nullptr));
    if (!clipboardOwner_) {
      throw PlatformError("The clipboard cannot be used: " + SystemErrorText(GetLastError()));
    }
  }
  return clipboardOwner_.get();
}

void Win32Desktop::SetClipboardText(const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  ClipboardSession session(ClipboardOwner());
  if (!EmptyClipboard()) {
    throw PlatformError("The clipboard cannot be cleared: " + SystemErrorText(GetLastError()));
  }
  UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  void* target = memory ? GlobalLock(memory.get()) : nullptr;
  if (target == nullptr)
    throw PlatformError("No memory for the clipboard text");
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory.get());
  // The clipboard owns the memory only once it has accepted it.
  if (SetClipboardData(CF_UNICODETEXT, memory.get()) == nullptr)
    throw PlatformError("The clipboard did not take the text: " + SystemErrorText(GetLastError()));
  memory.release();
}

}  // namespace focura::win32
