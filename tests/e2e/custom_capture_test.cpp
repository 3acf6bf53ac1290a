// The custom capture method: the program and its key come from the two files beside the
// executable; one frame is one key, delivered to that program while it is in front.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

class CustomCapture : public E2ETest {};

TEST_F(CustomCapture, LaunchFromTheFilesThenOneFrameIsExactlyOneSpaceToTheProgramInFront) {
  StartTool();
  // The program's folder name has a blank: the quoted path in captureprogpath.txt must reach it
  // whole.
  StandInLog keys = LaunchStandIn("{SPACE}");
  EXPECT_TRUE(tool->Checked("mnuPath"));
  for (const char* other : {"mnuEOSUtil", "mnuCanonRemote", "mnuBreeze", "mnuFujiSU", "mnuHWT"})
    EXPECT_FALSE(tool->Checked(other)) << other;
  EXPECT_TRUE(tool->Enabled("cmdCapture"));
  EXPECT_TRUE(tool->Enabled("cmdFocura"));
  // The launch clears the status line and nothing was typed yet.
  EXPECT_EQ(tool->Status(), "");
  EXPECT_TRUE(keys.Keys().empty());

  tool->Click("cmdCapture");
  ASSERT_TRUE(keys.WaitKeys(1, kStepMs));
  // Whatever the frame trigger does, it has finished once a later command has been handled.
  Execute("Z ?");
  const auto events = keys.Events();
  const auto down = KeyDowns(events);
  ASSERT_EQ(down.size(), 1u);
  EXPECT_EQ(down[0].code, static_cast<unsigned>(VK_SPACE));
  EXPECT_TRUE(down[0].foreground);
  EXPECT_FALSE(down[0].shift || down[0].ctrl || down[0].alt);
  int chars = 0;
  for (const auto& e : events) {
    if (e.kind == TargetEventKind::Char) {
      ++chars;
      EXPECT_EQ(e.code, static_cast<unsigned>(' '));
    }
  }
  EXPECT_EQ(chars, 1);
}

TEST_F(CustomCapture, AMissingKeyFileDisablesTheLaunchUntilTheMenuOpensAgain) {
  StartTool();
  const std::string exe = tool->PathOf("capture_target.exe");
  tool->WriteFile("captureprogpath.txt", "\"" + exe + "\"\r\n");
  tool->Menu("mnuPath");
  EXPECT_EQ(tool->WaitStatusIs("File capturekey.txt does not exist"),
            "File capturekey.txt does not exist");
  EXPECT_FALSE(tool->Enabled("cmdLaunchCapture"));
  EXPECT_TRUE(tool->Checked("mnuPath"));

  // Opening the "Image Capture" menu with a method chosen enables the launch again.
  tool->OpenCaptureMenu();
  EXPECT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  EXPECT_FALSE(tool->Enabled("cmdCapture"));
  EXPECT_FALSE(tool->Enabled("cmdFocura"));
  // The menu is closed again: the window takes clicks as before.
  EXPECT_EQ(Execute("Z ?"), "0.0000 um");
}

}  // namespace
}  // namespace focura::e2e
