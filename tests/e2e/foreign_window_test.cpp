// A key meant for the capture program must never land in another window. When another program
// comes to the front during the key delay, the frame trigger either refuses (and says so in the
// status line) or brings the capture program back to the front before typing; when the other
// program will not let go, it must refuse.

#include "Desktop.h"
#include "E2ETest.h"

namespace focura::e2e {
namespace {

class ForeignWindow : public E2ETest {
 protected:
  // Launches the capture program, sets a long key delay, presses "Capture One Frame" and, once
  // the tool is inside the key delay, starts an intruder that takes the front.
  StandInLog CaptureWithIntruder(bool holdFocus) {
    StandInLog keys = LaunchStandIn();
    tool->Menu("mnuDelayKey");
    tool->AnswerPrompt("Capture Key Delay", "2500");
    EXPECT_EQ(tool->WaitStatusIs(""), "");

    tool->Click("cmdCapture");
    // The tool stops taking messages once it is inside the key delay (the wait services nothing).
    EXPECT_TRUE(WaitUntil([&] { return !Responsive(tool->Main(), 100); }, kStepMs));
    const std::string log = tool->PathOf("intruder.keys.log");
    intruder_ = Process::Start(
        StandInCommandLine(TheConfig().standInExe, "Intruder", log, holdFocus), tool->Dir());
    StandInLog intruderKeys(log);
    EXPECT_TRUE(intruderKeys.WaitStarted(kStartMs));
    const HWND window = WaitForTopLevel("Intruder", intruder_.Id(), kStartMs);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == window; }, kStepMs))
        << "the intruder did not come to the front";
    return intruderKeys;
  }

  Process intruder_;
};

TEST_F(ForeignWindow, AProgramThatCameToTheFrontDuringTheKeyDelayGetsNoKey) {
  StartTool();
  StandInLog keys(tool->PathOf("Camera Remote\\capture_target.keys.log"));
  StandInLog intruderKeys = CaptureWithIntruder(false);
  // Either outcome ends with the window taking messages again and a status line that tells.
  EXPECT_TRUE(WaitUntil([&] { return Responsive(tool->Main(), 100); }, kStepMs));
  const std::string status = tool->Status();
  // The frame trigger has long returned once a later command has been handled.
  Execute("Z ?");
  EXPECT_TRUE(intruderKeys.Keys().empty());
  const auto down = keys.Keys();
  if (status.find("not in front") != std::string::npos) {
    EXPECT_TRUE(down.empty());
  } else {
    EXPECT_EQ(status, "");
    ASSERT_EQ(down.size(), 1u);
    EXPECT_TRUE(down[0].foreground);
  }
}

// A program that takes the front straight back wins the second activation a moment later: the
// capture program must still be in front after a settle time, or no key goes out.
TEST_F(ForeignWindow, AProgramThatHoldsTheFrontGetsNoKeyAndTheStatusLineSaysWhy) {
  StartTool();
  StandInLog keys(tool->PathOf("Camera Remote\\capture_target.keys.log"));
  StandInLog intruderKeys = CaptureWithIntruder(true);
  const std::string refusal = tool->WaitStatus([](const std::string& s) { return !s.empty(); });
  EXPECT_NE(refusal.find("not in front"), std::string::npos) << refusal;
  Execute("Z ?");
  EXPECT_TRUE(intruderKeys.Keys().empty());
  EXPECT_TRUE(keys.Keys().empty());
}

}  // namespace
}  // namespace focura::e2e
