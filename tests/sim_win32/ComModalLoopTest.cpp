// What the system's COM wait loop does with window messages while a call to an out-of-process
// server is in flight, measured against the simulator's COM server registered in the test prefix.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "SimTestSupport.h"
#include "text/Errors.h"
#include "win32/ComApartment.h"
#include "win32/ComZServer.h"
#include "win32/EventHold.h"
#include "win32/Owned.h"

namespace focura::win32 {
namespace {

struct Arrival {
  UINT message;
  bool held;  // arrived while a call was in flight
};
std::vector<Arrival> gArrivals;

LRESULT CALLBACK RecordProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  if (msg == WM_COMMAND || msg == WM_USER + 5 || msg == WM_APP + 7 || msg == WM_CLOSE) {
    gArrivals.push_back({msg == WM_COMMAND ? static_cast<UINT>(wParam) : msg, EventsHeld()});
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// Runs `call` while another thread posts and sends the probe window messages as other programs'
// clicks would arrive, then lets the rest through. Returns how many arrived inside the call, and
// the call's duration in `callMs`.
size_t ArrivalsDuring(const std::function<void()>& call, DWORD& callMs) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RecordProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"FocuraModalLoopProbe";
  RegisterClassW(&wc);
  focura::win32::UniqueWindow owned(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0,
                                                    nullptr, nullptr, wc.hInstance, nullptr));
  HWND probe = owned.get();
  EXPECT_NE(probe, nullptr);
  gArrivals.clear();
  // Another program clicks while the call waits: the messages arrive after the wait began.
  std::thread other([probe] {
    Sleep(200);
    PostMessageW(probe, WM_COMMAND, 1000, 0);
    PostMessageW(probe, WM_USER + 5, 0, 0);
    PostMessageW(probe, WM_APP + 7, 0, 0);
    PostMessageW(probe, WM_CLOSE, 0, 0);
    SendNotifyMessageW(probe, WM_COMMAND, 1001, 0);  // sent, not posted
  });
  const DWORD start = GetTickCount();
  call();
  callMs = GetTickCount() - start;
  other.join();
  std::printf("call took %lu ms\n", static_cast<unsigned long>(callMs));
  const size_t duringCall = gArrivals.size();
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&msg);
  owned.reset();
  std::printf("messages dispatched inside the call: %zu of 5\n", duringCall);
  for (const Arrival& a : gArrivals) {
    std::printf("  message 0x%04X held=%d\n", a.message, a.held ? 1 : 0);
  }
  EXPECT_EQ(gArrivals.size(), 5u);
  return duringCall;
}

struct ComModalLoop : ::testing::Test {
  void SetUp() override {
    ASSERT_EQ(zsim::test::RunZsim(L"/RegServer"), 0u);
    z = std::make_unique<ComZServer>(kZServerProgId);
    z->Exec("Sim Reset ; Z ?");  // the server is up and connected before the measurement
  }
  ComApartment com;
  std::unique_ptr<ComZServer> z;
};

TEST_F(ComModalLoop, WhatTheWaitDispatchesDuringAnOutOfProcessCallFindsEventsHeld) {
  DWORD callMs = 0;
  // A move the simulated axis needs time for: the call waits in the modal loop meanwhile.
  const size_t duringCall = ArrivalsDuring([this] { z->Exec("Z Rel 1000 ; Z Wait ;"); }, callMs);
  z->Exec("Z Rel -1000 ; Z Wait ;");
  if (callMs < 300)
    GTEST_SKIP() << "the call was too short to measure";
  // Whatever the loop dispatches, it does so while the call holds the window's events.
  for (size_t i = 0; i < duringCall; ++i)
    EXPECT_TRUE(gArrivals[i].held);
}

TEST_F(ComModalLoop, RetriesOfABusyServerKeepEventsHeldToo) {
  z->Exec("Sim Busy 800");
  DWORD callMs = 0;
  const size_t duringCall = ArrivalsDuring([this] { z->Exec("Z ?"); }, callMs);
  if (callMs < 300)
    GTEST_SKIP() << "the call was too short to measure";
  for (size_t i = 0; i < duringCall; ++i)
    EXPECT_TRUE(gArrivals[i].held);
}

}  // namespace
}  // namespace focura::win32
