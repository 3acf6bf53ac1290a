#include "win32/Win32Desktop.h"

#include <cstring>
#include <string>
#include <vector>

#include "text/Errors.h"
#include "win32/ErrorText.h"
#include "win32/KeyInput.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

constexpr DWORD kWindowWaitMs = 1000;
constexpr DWORD kKeysProcessedWaitMs = 1000;
constexpr int kClipboardAttempts = 10;

class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() {
    if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE)
      CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

struct FindState {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM param) {
  auto* state = reinterpret_cast<FindState*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != state->pid || !IsWindowVisible(hwnd) || GetWindow(hwnd, GW_OWNER) != nullptr) {
    return TRUE;
  }
  state->found = hwnd;
  return FALSE;
}

DWORD ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  if (hwnd != nullptr)
    GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

// Windows hands the foreground only to the program that has it; joining the input of the
// foreground thread for a moment lets this program pass it on.
void ForceForeground(HWND target) {
  if (SetForegroundWindow(target) && GetForegroundWindow() == target)
    return;
  const DWORD self = GetCurrentThreadId();
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  const bool attached = foregroundThread != 0 && foregroundThread != self &&
                        AttachThreadInput(self, foregroundThread, TRUE);
  BringWindowToTop(target);
  SetForegroundWindow(target);
  if (attached)
    AttachThreadInput(self, foregroundThread, FALSE);
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

HWND FindTaskWindow(DWORD processId) {
  FindState state{processId, nullptr};
  EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
  return state.found;
}

Win32Desktop::Win32Desktop() = default;

Win32Desktop::~Win32Desktop() {
  if (clipboardOwner_ != nullptr)
    DestroyWindow(clipboardOwner_);
}

int32_t Win32Desktop::StartProgram(const std::string& commandLine) {
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
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int32_t>(pi.dwProcessId);
}

void Win32Desktop::ActivateTask(int32_t taskId) {
  const DWORD pid = static_cast<DWORD>(taskId);
  const DWORD start = GetTickCount();
  HWND target = FindTaskWindow(pid);
  while (target == nullptr && GetTickCount() - start < kWindowWaitMs) {
    Sleep(20);
    target = FindTaskWindow(pid);
  }
  if (target == nullptr) {
    throw PlatformError("Task " + std::to_string(taskId) + " has no window to activate");
  }
  if (IsIconic(target))
    ShowWindow(target, SW_RESTORE);
  // Under X11 the focus change is asynchronous and a window manager may hand the focus to
  // another window of the task for a moment: ask again until the target itself is in front.
  const DWORD asked = GetTickCount();
  do {
    ForceForeground(target);
    for (int i = 0; i < 5 && GetForegroundWindow() != target; ++i)
      Sleep(10);
  } while (GetForegroundWindow() != target && GetTickCount() - asked < kWindowWaitMs);
}

bool Win32Desktop::IsTaskForeground(int32_t taskId) {
  return ProcessOf(GetForegroundWindow()) == static_cast<DWORD>(taskId);
}

void Win32Desktop::SendKeys(const KeyStrokes& keys) {
  std::vector<INPUT> inputs = KeyInputs(keys);
  if (inputs.empty())
    return;
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) {
    throw PlatformError("The keys could not be sent: " + SystemErrorText(GetLastError()));
  }
  // Wait until the receiver has taken them: first until its thread idles waiting for input,
  // then one message round trip through its window.
  HWND target = GetForegroundWindow();
  if (target == nullptr)
    return;
  const DWORD pid = ProcessOf(target);
  if (pid != 0 && pid != GetCurrentProcessId()) {
    Handle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (process.get() != nullptr)
      WaitForInputIdle(process.get(), kKeysProcessedWaitMs);
  }
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(target, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kKeysProcessedWaitMs, &ignored);
}

HWND Win32Desktop::ClipboardOwner() {
  // Clipboard data can only be set by a session that has an owner window.
  if (clipboardOwner_ == nullptr) {
    clipboardOwner_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
    if (clipboardOwner_ == nullptr) {
      throw PlatformError("The clipboard cannot be used: " + SystemErrorText(GetLastError()));
    }
  }
  return clipboardOwner_;
}

void Win32Desktop::SetClipboardText(const std::string& text) {
  const std::wstring wide = Widen(text);
  const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  ClipboardSession session(ClipboardOwner());
  if (!EmptyClipboard()) {
    throw PlatformError("The clipboard cannot be cleared: " + SystemErrorText(GetLastError()));
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (memory == nullptr)
    throw PlatformError("No memory for the clipboard text");
  void* target = GlobalLock(memory);
  if (target == nullptr) {
    GlobalFree(memory);
    throw PlatformError("No memory for the clipboard text");
  }
  std::memcpy(target, wide.c_str(), bytes);
  GlobalUnlock(memory);
  // The clipboard owns the memory only once it has accepted it.
  if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) {
    const DWORD error = GetLastError();
    GlobalFree(memory);
    throw PlatformError("The clipboard did not take the text: " + SystemErrorText(error));
  }
}

}  // namespace focura::win32
