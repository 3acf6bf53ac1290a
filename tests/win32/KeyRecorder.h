#pragma once
// A small window on a thread of its own, in the foreground, that records the keys it receives.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace focura::win32::testing {

struct KeyRecord {
  UINT message;  // WM_KEYDOWN, WM_KEYUP, WM_CHAR
  WPARAM code;
  bool ctrlDown;
  bool extended;
};

class KeyRecorder {
 public:
  KeyRecorder() {
    thread_ = std::thread([this] { Run(); });
    while (hwnd_.load() == nullptr && !failed_.load())
      Sleep(5);
  }
  ~KeyRecorder() {
    if (HWND h = hwnd_.load())
      PostMessageW(h, WM_CLOSE, 0, 0);
    thread_.join();
  }
  KeyRecorder(const KeyRecorder&) = delete;
  KeyRecorder& operator=(const KeyRecorder&) = delete;

  HWND Handle() const { return hwnd_.load(); }

  std::vector<KeyRecord> Records() {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_;
  }

  // Waits up to `ms` for at least `count` records.
  std::vector<KeyRecord> WaitFor(size_t count, DWORD ms = 3000) {
    const DWORD start = GetTickCount();
    for (;;) {
      auto r = Records();
      if (r.size() >= count || GetTickCount() - start > ms)
        return r;
      Sleep(10);
    }
  }

  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    records_.clear();
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<KeyRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && (msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CHAR)) {
      std::lock_guard<std::mutex> lock(self->mutex_);
      self->records_.push_back(
          {msg, wParam, (GetKeyState(VK_CONTROL) & 0x8000) != 0, ((lParam >> 24) & 1) != 0});
      return 0;
    }
    if (msg == WM_DESTROY)
      PostQuitMessage(0);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  void Run() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FocuraKeyRecorder";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, wc.lpszClassName, L"Key recorder", WS_OVERLAPPEDWINDOW, 50, 50, 300,
                             200, nullptr, nullptr, wc.hInstance, nullptr);
    if (h == nullptr) {
      failed_ = true;
      return;
    }
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(h, SW_SHOWNORMAL);
    SetForegroundWindow(h);
    SetFocus(h);
    hwnd_ = h;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  std::thread thread_;
  std::atomic<HWND> hwnd_{nullptr};
  std::atomic<bool> failed_{false};
  std::mutex mutex_;
  std::vector<KeyRecord> records_;
};

}  // namespace focura::win32::testing
