// The run's progress on the taskbar button and the stay-awake request, on the system itself.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "win32/ComApartment.h"
#include "win32/ExecutionStateAwake.h"
#include "win32/MainWindow.h"
#include "win32/Owned.h"
#include "win32/TaskbarProgress.h"

namespace focura::win32 {
namespace {

using Shows = TaskbarProgress::Shows;

// Runs the thread's messages until `done` holds or 5 s have passed.
bool PumpUntil(const std::function<bool()>& done) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done())
      return true;
    if (GetTickCount() - start > 5000)
      return false;
    Sleep(10);
  }
}

bool BringToFront(HWND window) {
  return PumpUntil([window] {
    if (GetForegroundWindow() != window)
      SetForegroundWindow(window);
    return GetForegroundWindow() == window;
  });
}

void AnnounceButton(HWND window) {
  SendMessageW(window, RegisterWindowMessageW(L"TaskbarButtonCreated"), 0, 0);
}

TEST(TaskbarProgress, FollowsRunsAndClearsWhenTheOperatorComesBackAfterTheEnd) {
  ComApartment com;
  MainWindow w;
  TaskbarProgress bar(w.Handle());
  w.Show();
  AnnounceButton(w.Handle());  // the shell's announcement, which Wine's shell may never send
  std::printf("taskbar object after the announcement: %s\n",
              bar.HasTaskbarObject() ? "created" : "none");
  UniqueWindow otherWindow(CreateWindowExW(0, L"STATIC", L"capture program",
                                           WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                           nullptr, nullptr, nullptr, nullptr));
  HWND other = otherWindow.get();
  ASSERT_NE(other, nullptr);

  bar.Started(3);
  EXPECT_EQ(bar.Showing(), Shows::Moving);
  bar.AtPlane(1, 3);
  bar.TimeLeft("Plane 1 of 3, about 2 min left");
  EXPECT_EQ(bar.Tooltip(), L"Plane 1 of 3, about 2 min left");
  ASSERT_TRUE(BringToFront(other));
  ASSERT_TRUE(BringToFront(w.Handle()));  // the operator looks in during the run: nothing ends
  EXPECT_EQ(bar.Showing(), Shows::Planes);
  // A long wait for the capture program's key shows as paused until the key is taken, also
  // while the operator looks in; the end of a wait that was never shown changes nothing.
  ASSERT_TRUE(BringToFront(other));
  bar.KeysAwaited(true);
  EXPECT_EQ(bar.Showing(), Shows::Awaiting);
  ASSERT_TRUE(BringToFront(w.Handle()));
  EXPECT_EQ(bar.Showing(), Shows::Awaiting);
  bar.KeysAwaited(false);
  EXPECT_EQ(bar.Showing(), Shows::Planes);
  bar.KeysAwaited(false);
  EXPECT_EQ(bar.Showing(), Shows::Planes);

  struct End {
    std::function<void()> tell;
    Shows shows;
  };
  for (const End& end :
       {End{[&] { bar.Finished(); }, Shows::Done}, End{[&] { bar.Cancelled(); }, Shows::Paused},
        End{[&] { bar.Failed(); }, Shows::Error}}) {
    ASSERT_TRUE(BringToFront(other));
    bar.Started(3);
    bar.AtPlane(2, 3);
    bar.TimeLeft("Plane 2 of 3, about 1 min left");
    end.tell();  // behind another window: the button flashes
    EXPECT_EQ(bar.Showing(), end.shows);
    EXPECT_EQ(bar.Tooltip(), L"");  // the window's title again
    ASSERT_TRUE(BringToFront(w.Handle()));
    EXPECT_TRUE(PumpUntil([&] { return bar.Showing() == Shows::Nothing; }));
  }

  otherWindow.reset();
  // The window goes before the progress does, as when the system ends it: not the owner's doing.
  DestroyWindow(w.Handle());
  bar.Finished();  // the window is gone: nothing to show, nothing fails
  EXPECT_FALSE(bar.HasTaskbarObject());
}

TEST(TaskbarProgress, WhereTheTaskbarObjectCannotBeCreatedARunStillGoesThrough) {
  // A thread outside any COM apartment: creating the shell's object fails there.
  std::thread([] {
    const UniqueWindow owned(CreateWindowExW(0, L"STATIC", L"tool", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                             100, nullptr, nullptr, nullptr, nullptr));
    HWND window = owned.get();
    ASSERT_NE(window, nullptr);
    TaskbarProgress bar(window);
    AnnounceButton(window);
    EXPECT_FALSE(bar.HasTaskbarObject());
    bar.Started(2);
    bar.AtPlane(1, 2);
    bar.Failed();
    EXPECT_EQ(bar.Showing(), Shows::Error);
  }).join();
}

TEST(ExecutionStateAwake, HoldsTheSystemAndTheDisplayOnlyWhenAskedAndReleasesBoth) {
  // Setting a state returns the thread's previous one: ask again for the same to read it.
  const auto read = [](EXECUTION_STATE same) { return SetThreadExecutionState(same); };
  ExecutionStateAwake awake;
  constexpr EXECUTION_STATE kSystem = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
  awake.Hold(false);
  EXPECT_EQ(read(kSystem), kSystem);
  awake.Hold(true);
  EXPECT_EQ(read(kSystem | ES_DISPLAY_REQUIRED), kSystem | ES_DISPLAY_REQUIRED);
  awake.Release();  // the port's own end of the hold, not a handle's
  EXPECT_EQ(read(ES_CONTINUOUS), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

TEST(ExecutionStateAwake, APowerRequestKeepsTheDisplayOnlyForRunsWithKeysAndEndsWithEachRun) {
  ExecutionStateAwake awake;
  struct Step {
    const char* what;
    int hold;  // -1 release, 0 hold, 1 hold with the display
    bool system, display;
  };
  const Step steps[] = {
      {"a run with keys", 1, true, true},          {"its end", -1, false, false},
      {"a run with pulses", 0, true, false},       {"a run with keys after it", 1, true, true},
      {"a run with pulses again", 0, true, false}, {"its end", -1, false, false},
  };
  // A system without power requests (Wine) refuses them: the adapter then holds nothing and
  // fails quietly, leaving the execution state alone to keep the system awake.
  awake.Hold(true);
  const bool accepted = awake.HoldsSystem();
  awake.Release();
  std::printf("power requests: %s\n", accepted ? "accepted" : "refused by this system");
  for (const Step& s : steps) {
    if (s.hold < 0)
      awake.Release();
    else
      awake.Hold(s.hold > 0);
    EXPECT_EQ(awake.HoldsSystem(), accepted && s.system) << s.what;
    EXPECT_EQ(awake.HoldsDisplay(), accepted && s.display) << s.what;
  }
}

}  // namespace
}  // namespace focura::win32
