// The simulator inside the tool's process, behind the ZServer port, with its window on a thread
// of its own.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <thread>

#include "SimTestSupport.h"
#include "sim/win32/BuiltInZServer.h"
#include "win32/Owned.h"
#include "zserver/ZServerErrors.h"

namespace zsim::test {
namespace {

using win32::BuiltInZServer;

std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[512] = {};
  GetWindowTextW(hwnd, buffer, 512);
  return buffer;
}

HWND Button(HWND window, const wchar_t* caption) {
  return FindWindowExW(window, nullptr, L"Button", caption);
}

TEST(BuiltInSimulator, RefusalsAndInjectedFailuresThrowZServerError) {
  BuiltInZServer z(".");
  EXPECT_EQ(z.Exec("Z 12.5 ; Z Wait ; Z ?"), "OK ; OK ; 12.5000 um");
  z.Exec("Sim Fail 1 Controller timeout");
  try {
    z.Exec("Obj GetNum");
    FAIL() << "no failure";
  } catch (const focura::ZServerError& e) {
    EXPECT_EQ(e.Command(), "Obj GetNum");
    EXPECT_EQ(e.Message(), "Controller timeout");
  }
  EXPECT_THROW(z.Exec("Z -30000"), focura::ZServerError);
  EXPECT_EQ(z.Exec("Z ?"), "12.5000 um");
}

// Runs this thread's messages until `condition` holds or `ms` pass; returns its last value.
bool PumpUntil(const std::function<bool()>& condition, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (condition())
      return true;
    if (GetTickCount() - start > ms)
      return condition();
    Sleep(10);
  }
}

// The tool's window in front, as when the operator chooses "Show Z server". Without a window in
// front the window manager may give the focus to the only window there is, whatever the
// simulator asked for, so the test would depend on what the tests before it left open.
class FrontWindow {
 public:
  FrontWindow()
      : hwnd_(CreateWindowExW(0, L"STATIC", L"In front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
    if (hwnd_)
      SetForegroundWindow(hwnd_.get());
  }
  FrontWindow(const FrontWindow&) = delete;
  FrontWindow& operator=(const FrontWindow&) = delete;
  bool InFront() const {
    return PumpUntil([this] { return GetForegroundWindow() == hwnd_.get(); }, 10000);
  }
  HWND Handle() const { return hwnd_.get(); }
  // Whether the window lost the front within `ms`.
  bool LosesFrontWithin(DWORD ms) const {
    return PumpUntil([this] { return GetForegroundWindow() != hwnd_.get(); }, ms);
  }

 private:
  focura::win32::UniqueWindow hwnd_;
};

// Whether a plain window of another thread, shown without activation, leaves `front` in front:
// the baseline of the platform itself. Wine 8 with a 32-bit half installed hands the front to such
// a window all the same, which says nothing about the simulator.
bool PlatformHonoursNoActivate(const FrontWindow& front) {
  HWND shown = nullptr;
  const focura::win32::UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  const focura::win32::UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&] {
    // Destroyed on this thread, its own.
    const focura::win32::UniqueWindow owned(
        CreateWindowExW(0, L"STATIC", L"Shown without activation", WS_OVERLAPPEDWINDOW, 400, 40,
                        300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    shown = owned.get();
    ShowWindow(shown, SW_SHOWNOACTIVATE);
    SetEvent(ready.get());
    HANDLE handles[] = {done.get()};
    while (MsgWaitForMultipleObjects(1, handles, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    }
  });
  WaitForSingleObject(ready.get(), 10000);
  const bool honoured = !front.LosesFrontWithin(500);
  SetEvent(done.get());
  other.join();
  // Give the front back to the test's window for the simulator's turn.
  SetForegroundWindow(front.Handle());
  return honoured && front.InFront();
}

TEST(BuiltInSimulator, ShowAndHideDriveItsWindowWithoutTakingTheFocus) {
  BuiltInZServer z(".");
  HWND w = z.Window();
  ASSERT_NE(w, nullptr);
  EXPECT_FALSE(IsWindowVisible(w));
  FrontWindow front;
  ASSERT_TRUE(front.InFront());
  if (!PlatformHonoursNoActivate(front))
    GTEST_SKIP() << "this platform activates a window shown with SW_SHOWNOACTIVATE";
  z.Exec("Show");
  EXPECT_TRUE(PumpUntil([w] { return IsWindowVisible(w) != FALSE; }, 10000));
  EXPECT_FALSE(front.LosesFrontWithin(500))
      << "in front: " << (GetForegroundWindow() == w ? "the simulator's window" : "another window")
      << " " << GetForegroundWindow();
  z.Exec("Hide");
  EXPECT_TRUE(WaitFor([w] { return IsWindowVisible(w) == FALSE; }));
  // Closing the window hides it; the simulator stays.
  z.Exec("Show");
  WaitFor([w] { return IsWindowVisible(w) != FALSE; });
  SendMessageW(w, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitFor([w] { return IsWindowVisible(w) == FALSE; }));
  EXPECT_TRUE(IsWindow(w));
  EXPECT_EQ(z.Exec("Z ?"), "0.0000 um");
}

TEST(BuiltInSimulator, JogAndStoreButtonsActAsTheJoystick) {
  BuiltInZServer z(".");
  HWND w = z.Window();
  HWND plus10 = Button(w, L"+10");
  HWND store = Button(w, L"Store position");
  ASSERT_NE(plus10, nullptr);
  ASSERT_NE(store, nullptr);
  SendMessageW(plus10, BM_CLICK, 0, 0);  // refused: the joystick is off
  EXPECT_EQ(z.Exec("Z Wait ; Z ?"), "OK ; 0.0000 um");
  z.Exec("Joy On");
  ASSERT_TRUE(WaitFor([plus10] { return IsWindowEnabled(plus10) != FALSE; }));
  SendMessageW(plus10, BM_CLICK, 0, 0);
  SendMessageW(plus10, BM_CLICK, 0, 0);
  EXPECT_EQ(z.Exec("Z Wait ; Z ?"), "OK ; 20.0000 um");
  SendMessageW(store, BM_CLICK, 0, 0);
  EXPECT_EQ(z.Exec("Obj GetNum ; Obj Get 1"), "1 positions ; Obj 1 20.0000");
}

TEST(BuiltInSimulator, TheWindowStaysLiveWhileACallerWaitsForAMove) {
  BuiltInZServer z(".");
  HWND w = z.Window();
  std::string reply;
  std::thread mover([&] { reply = z.Exec("Z 1500 ; Z Wait ; Z ?"); });
  // While the caller waits, the window answers and shows the axis on its way.
  const bool seenMoving = WaitFor([w] {
    DWORD_PTR r = 0;
    if (SendMessageTimeoutW(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &r) == 0)
      return false;
    HWND position = GetWindow(w, GW_CHILD);
    return TextOf(position).find(L"moving to 1500.0000") != std::wstring::npos;
  });
  mover.join();
  EXPECT_TRUE(seenMoving);
  EXPECT_EQ(reply, "OK ; OK ; 1500.0000 um");
}

}  // namespace
}  // namespace zsim::test
