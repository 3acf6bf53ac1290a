// A computer without the Z server: the start-up says why and offers the built-in simulator, and
// the tool chosen that way works.

#include "Desktop.h"
#include "E2ETest.h"
#include "ScopedEnvironment.h"
#include "ZServerRegistration.h"

namespace focura::e2e {
namespace {

class NoZServer : public E2ETest {};

TEST_F(NoZServer, TheStartUpOffersTheBuiltInSimulatorAndTheToolThenWorks) {
  tool->UnregisterZServer();
  ASSERT_EQ(RegisteredServerCommand(), "");
  // The built-in simulator records where ZSIM_LOG says.
  {
    ScopedEnvironment log(L"ZSIM_LOG", tool->RecordPath());
    tool->StartProcess();
  }
  const HWND box = WaitForTopLevel(kToolCaption, tool->Tool().Id(), kStartMs, "#32770");
  ASSERT_NE(box, nullptr) << "no start-up message box";
  std::string message;
  for (HWND h : ChildrenOfClass(box, "Static"))
    message += TextOf(h);
  EXPECT_NE(message.find(kZServerProgId), std::string::npos) << message;
  EXPECT_NE(message.find("built-in simulator"), std::string::npos) << message;
  const HWND yes = GetDlgItem(box, IDYES);
  ASSERT_NE(yes, nullptr);
  PostMessageW(yes, BM_CLICK, 0, 0);

  ASSERT_TRUE(tool->WaitMainWindow(kStartMs));
  EXPECT_EQ(Commands(tool->WaitRecord(3)), (std::vector<std::string>{"Show", "Joy On", "Hide"}));
  SetTopAt(25);
  EXPECT_EQ(tool->Status(), "ZTop= 25.00, ZBottom= 77777.00, ZHeight= 77752.00");
  EXPECT_EQ(tool->CloseAndWait(), 0u);
  EXPECT_EQ(Commands(tool->Record()).back(), "Unload");
}

TEST_F(NoZServer, DecliningTheSimulatorEndsTheProgramWithoutAWindow) {
  tool->UnregisterZServer();
  tool->StartProcess();
  const HWND box = WaitForTopLevel(kToolCaption, tool->Tool().Id(), kStartMs, "#32770");
  ASSERT_NE(box, nullptr) << "no start-up message box";
  PostMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
  ASSERT_TRUE(tool->Tool().WaitExit(kStepMs));
  EXPECT_NE(tool->Tool().ExitCode(), 0u);
}

}  // namespace
}  // namespace focura::e2e
