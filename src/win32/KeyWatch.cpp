#include "win32/KeyWatch.h"

namespace focura::win32 {
namespace {

// The hook procedure has no context of its own; there is one watch per program.
std::atomic<uint64_t> gPassed{0};
std::atomic<HANDLE> gPassedEvent{nullptr};

LRESULT CALLBACK LowLevelKeyboard(int code, WPARAM wParam, LPARAM lParam) noexcept {
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
  renewed_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  ready_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  passed_.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  gPassedEvent = passed_.get();
  thread_ = std::thread([this] { Run(); });
  WaitForSingleObject(ready_.get(), 5000);
}

KeyWatch::~KeyWatch() {
  if (DWORD id = threadId_.load())
    PostThreadMessageW(id, WM_QUIT, 0, 0);
  if (thread_.joinable())
    thread_.join();
  gPassedEvent = nullptr;
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
    WaitForSingleObject(passed_.get(), ms - spent);
  }
  return true;
}

void KeyWatch::Renew() {
  const DWORD id = threadId_.load();
  if (id != 0 && PostThreadMessageW(id, kRenewMessage, 0, 0))
    WaitForSingleObject(renewed_.get(), 1000);
}

void KeyWatch::Run() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for the quit message
  threadId_ = GetCurrentThreadId();
  // Unhooked on this thread, which set it.
  UniqueHook hook(SetHook());
  hooked_ = static_cast<bool>(hook);
  SetEvent(ready_.get());
  // The hook is called through this thread's message loop; it must keep turning.
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (msg.hwnd == nullptr && msg.message == kRenewMessage) {
      // A removed hook's handle is no longer valid; unhooking it fails harmlessly.
      hook.reset(SetHook());
      hooked_ = static_cast<bool>(hook);
      ++renewals_;
      SetEvent(renewed_.get());
      continue;
    }
    DispatchMessageW(&msg);
  }
}

}  // namespace focura::win32
