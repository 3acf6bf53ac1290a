// Camera programs that do not simply open one window of their own: a launcher, a single-instance
// program, a program slow to handle its key, one busy for long, one with a modal dialog, one that
// exits; and shortcut letters under Ctrl.

#include "Desktop.h"
#include "E2ETest.h"

#include <algorithm>

namespace focura::e2e {
namespace {

class CaptureProgram : public E2ETest {
 protected:
  // A copy of the stand-in in a folder without blanks, so that arguments can follow it.
  std::string CopyStandIn() {
    const std::string folder = tool->PathOf("Cam");
    RecreateFolder(folder);
    const std::string exe = folder + "\\capture_target.exe";
    CopyFileTo(TheConfig().standInExe, exe);
    return exe;
  }
  // Minimizes a window the way the operator puts it away. Wine may leave a minimized window
  // active; then the tool's window is asked to the front in its place.
  bool PutAway(HWND window) {
    ShowWindow(window, SW_MINIMIZE);
    return WaitUntil(
        [&] {
          if (GetForegroundWindow() == window)
            SetForegroundWindow(tool->Main());
          return IsIconic(window) && GetForegroundWindow() != window;
        },
        kStepMs);
  }
  // Presses "Capture One Frame" and waits until its handler has finished.
  void CaptureOneFrame() {
    tool->Click("cmdCapture");
    Execute("Z ?");
  }
};

TEST_F(CaptureProgram, ALaunchersChildGetsTheKeyAfterTheLauncherExited) {
  StartTool();
  const std::string exe = CopyStandIn();
  StandInLog keys = LaunchCopy(exe, "--launch");
  tool->Click("cmdCapture");
  ASSERT_TRUE(keys.WaitKeys(1, kStepMs)) << tool->Status();
  Execute("Z ?");
  const auto down = keys.Keys();
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].code, static_cast<unsigned>(VK_SPACE));
  EXPECT_TRUE(down[0].foreground);
  EXPECT_EQ(ProgramsUnder(tool->Dir(), "capture_target.exe").size(), 1u);
}

// A launcher with a splash that hides and a panel that stays; the first frame comes well after
// the first seconds of the launch, when the program's window alone may take the key.
TEST_F(CaptureProgram, ALaunchersProgramGetsTheFirstKeyLongAfterTheLaunch) {
  StartTool();
  const std::string exe = CopyStandIn();
  StandInLog keys = LaunchCopy(exe, "--launcher 1500");
  const DWORD launched = GetTickCount();
  ASSERT_NE(WaitForTopLevel("Capture Target Launcher", 0, kStartMs), nullptr);
  while (GetTickCount() - launched < 12000)
    Sleep(100);
  CaptureOneFrame();
  ASSERT_TRUE(keys.WaitKeys(1, kStepMs)) << tool->Status();
  const auto down = keys.Keys();
  ASSERT_EQ(down.size(), 1u);
  EXPECT_TRUE(down[0].foreground);
  EXPECT_EQ(ProgramsUnder(tool->Dir(), "capture_target.exe").size(), 2u);
}

// Busy for 25 s on its window's thread over a key: "not responding" to the system after 5 s,
// and waited for all the same.
TEST_F(CaptureProgram, AProgramBusyForLongOverItsKeyIsWaitedFor) {
  StartTool();
  StandInLog keys = LaunchCopy(CopyStandIn(), "--slow-keydown 25000");
  tool->Click("cmdCapture");
  ASSERT_TRUE(keys.WaitKeys(1, 60000)) << tool->Status();
  EXPECT_EQ(tool->WaitStatusIs(""), "");
}

// A modal dialog of the capture program gets no key: the frame waits for it to close, and the key
// then reaches the program's own window.
TEST_F(CaptureProgram, AModalDialogGetsNoKeyAndTheFrameWaitsForIt) {
  StartTool();
  StandInLog keys = LaunchCopy(CopyStandIn(), "--dialog-after-key 4000");
  CaptureOneFrame();
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto events = keys.Events();
        return std::any_of(events.begin(), events.end(), [](const TargetEvent& e) {
          return e.kind == TargetEventKind::Dialog && e.on;
        });
      },
      kStepMs));
  CaptureOneFrame();
  ASSERT_TRUE(keys.WaitKeys(2, kStepMs)) << tool->Status();
  const auto events = keys.Events();
  const auto closed = std::find_if(events.begin(), events.end(), [](const TargetEvent& e) {
    return e.kind == TargetEventKind::Dialog && !e.on;
  });
  ASSERT_NE(closed, events.end());
  EXPECT_EQ(closed->code, 0u) << "a key closed the dialog";
  EXPECT_TRUE(keys.Keys()[1].foreground);
}

TEST_F(CaptureProgram, ASingleInstanceProgramsRunningCopyGetsTheKey) {
  StartTool();
  const std::string exe = CopyStandIn();
  const std::string log = exe.substr(0, exe.size() - 4) + ".keys.log";
  Process running = Process::Start(StandInCommandLine(exe, "Capture Target", log), tool->Dir());
  ASSERT_TRUE(StandInLog(log).WaitStarted(kStartMs));
  // The operator has put it away; the second start brings it back.
  const HWND window = WaitForTopLevel("Capture Target", running.Id(), kStartMs);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(PutAway(window));

  StandInLog keys = LaunchCopy(exe, "--single");
  tool->Click("cmdCapture");
  ASSERT_TRUE(keys.WaitKeys(1, kStepMs)) << tool->Status();
  Execute("Z ?");
  const auto events = keys.Events();
  EXPECT_EQ(std::count_if(events.begin(), events.end(),
                          [](const TargetEvent& e) { return e.kind == TargetEventKind::Start; }),
            1);
  const auto down = KeyDowns(events);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_TRUE(down[0].foreground);
  EXPECT_TRUE(running.Running());
  EXPECT_FALSE(IsIconic(window));
}

// The next move must not start before the program has handled its key: each key-down is logged
// once the 200 ms in its handler are over.
TEST_F(CaptureProgram, TheRunWaitsUntilASlowProgramHasHandledItsKey) {
  StartTool();
  StandInLog keys = LaunchCopy(CopyStandIn(), "--slow-keydown 200");
  SetTopAt(0);
  SetBottomAt(20);
  SetPlanes(3, "10.00");
  SetTimings("0.0", "0.0", "0.0");
  const size_t from = tool->Record().size();
  EXPECT_EQ(RunStack(), "Z-stack finished");
  ASSERT_TRUE(keys.WaitKeys(3, kStepMs));
  std::vector<RecordedCommand> moves;
  const auto record = tool->Record();
  for (size_t i = from; i < record.size(); ++i) {
    if (record[i].command.rfind("Z Rel", 0) == 0)
      moves.push_back(record[i]);
  }
  const auto down = keys.Keys();
  ASSERT_EQ(down.size(), 3u);
  ASSERT_EQ(moves.size(), 3u);
  for (size_t k = 0; k + 1 < down.size(); ++k) {
    EXPECT_GE(Elapsed(down[k].timeMs, moves[k + 1].receivedMs), 0) << "plane " << k + 1;
  }
}

TEST_F(CaptureProgram, AProgramThatExitedFailsItsFrameAndANewProgramGetsNoKey) {
  StartTool();
  StandInLog keys = LaunchStandIn();
  CaptureOneFrame();
  ASSERT_TRUE(keys.WaitKeys(1, kStepMs));
  const auto events = keys.Events();
  const auto start = *std::find_if(events.begin(), events.end(), [](const TargetEvent& e) {
    return e.kind == TargetEventKind::Start;
  });
  // The operator closes it.
  Process first = Process::Open(start.code);
  const HWND window = FindTopLevel("Capture Target", start.code);
  ASSERT_NE(window, nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  ASSERT_TRUE(first.WaitExit(kStepMs));

  // Another copy of the same program takes the front.
  const std::string log = tool->PathOf("newcomer.keys.log");
  Process newcomer = Process::Start(
      StandInCommandLine(TheConfig().standInExe, "Capture Target", log), tool->Dir());
  StandInLog newcomerKeys(log);
  ASSERT_TRUE(newcomerKeys.WaitStarted(kStartMs));

  tool->Click("cmdCapture");
  const std::string expected =
      "The capture program (task " + std::to_string(start.code) + ") has ended";
  EXPECT_EQ(tool->WaitStatusIs(expected), expected);
  Execute("Z ?");
  EXPECT_TRUE(newcomerKeys.Keys().empty());
}

TEST_F(CaptureProgram, LettersUnderCtrlGetOnlyTheShiftWritten) {
  StartTool();
  StandInLog keys = LaunchStandIn("^V+^v");
  CaptureOneFrame();
  ASSERT_TRUE(keys.WaitKeys(5, kStepMs));
  std::vector<TargetEvent> v;
  for (const auto& e : keys.Keys()) {
    if (e.code == 'V')
      v.push_back(e);
  }
  ASSERT_EQ(v.size(), 2u);
  EXPECT_TRUE(v[0].ctrl && !v[0].shift && !v[0].alt);
  EXPECT_TRUE(v[1].ctrl && v[1].shift && !v[1].alt);
}

}  // namespace
}  // namespace focura::e2e
