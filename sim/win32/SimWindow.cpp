#include "SimWindow.h"

#include "SimHost.h"
#include "SimWindowProc.h"
#include "sim/core/SimError.h"
#include "win32/Owned.h"

namespace zsim::win32 {

SimWindow::SimWindow(SimHost& host, std::function<void()> onUserClose)
    : host_(host), onUserClose_(std::move(onUserClose)) {
  const focura::win32::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  thread_ = std::thread([this, ready = ready.get()] { Run(ready); });
  WaitForSingleObject(ready.get(), INFINITE);
  if (hwnd_ == nullptr) {
    thread_.join();
    throw SimError("The simulator window could not be created");
  }
  HWND hwnd = hwnd_;
  host_.SetObserver([hwnd] { PostMessageW(hwnd, kRefreshMessage, 0, 0); });
}

SimWindow::~SimWindow() {
  host_.SetObserver(nullptr);
  if (hwnd_ != nullptr)
    PostMessageW(hwnd_, kDestroyMessage, 0, 0);
  if (thread_.joinable())
    thread_.join();
}

void SimWindow::Run(HANDLE ready) {
  // Lives until the loop ends, which the window's destruction brings about.
  SimWindowObject window(host_, &onUserClose_);
  hwnd_ = window.Create();
  SetEvent(ready);
  if (hwnd_ == nullptr)
    return;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

}  // namespace zsim::win32
