#include "win32/KeyWatch.h"

namespace focura::win32 {
namespace {

// The hook procedure has no context of its own; there is one watch per program.
std::atomic<uint64_t> gPassed{0};
std::atomic<HANDLE> gPassedEvent{nullptr};

LRESULT CALLBACK LowLevelKeyboard(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION) {
    const auto* k = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (k->dwExtraInfo == kKeyTag) {
      ++gPassed;
      if (HANDLE e = gPassedEvent.load())
        SetEvent(e);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

constexpr UINT kRenewMessage = WM_APP + 1;

HHOOK SetHook() {
  return SetWindowsHookExW(WH_KEYBOARD_LL, LowLevelKeyboard, GetModuleHandleW(nullptr), 0);
}

}  // namespace

KeyWatch::KeyWatch() {
  renewed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  passed_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  gPassedEvent = passed_;
  thread_ = std::thread([this] { Run(); });
  WaitForSingleObject(ready_, 5000);
}

KeyWatch::~KeyWatch() {
  if (DWORD id = threadId_.load())
    PostThreadMessageW(id, WM_QUIT, 0, 0);
  if (thread_.joinable())
    thread_.join();
  gPassedEvent = nullptr;
  CloseHandle(passed_);
  CloseHandle(ready_);
  CloseHandle(renewed_);
}

uint64_t KeyWatch::Passed() const {
  return gPassed.load();
}

bool KeyWatch::WaitPassed(uint64_t count, DWORD ms) const {
  const DWORD start = GetTickCount();
  while (gPassed.load() < count) {
    const DWORD spent = GetTickCount() - start;
    if (spent >= ms)
      return false;
    WaitForSingleObject(passed_, ms - spent);
  }
  return true;
}

void KeyWatch::Renew() {
  const DWORD id = threadId_.load();
  if (id != 0 && PostThreadMessageW(id, kRenewMessage, 0, 0))
    WaitForSingleObject(renewed_, 1000);
}

void KeyWatch::Run() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the quit message
  threadId_ = GetCurrentThreadId();
  HHOOK hook = SetHook();
  hooked_ = hook != nullptr;
  SetEvent(ready_);
  // The hook is called through this thread's message loop; it must keep turning.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kRenewMessage) {
      // A removed hook's handle is no longer valid; unhooking it fails harmlessly.
      if (hook != nullptr)
        UnhookWindowsHookEx(hook);
      hook = SetHook();
      hooked_ = hook != nullptr;
      ++renewals_;
      SetEvent(renewed_);
      continue;
    }
    DispatchMessageW(&msg);
  }
  if (hook != nullptr)
    UnhookWindowsHookEx(hook);
}

}  // namespace focura::win32
