// The operator logs off or shuts down with the tool open: the Z server hears "Unload" once, from
// the tool's own message loop rather than inside the system's messages, and the tool ends.

#include "E2ETest.h"

#include <algorithm>

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class SessionEnd : public E2ETest {};

TEST_F(SessionEnd, AskedTheToolHoldsTheEndSaysUnloadOnceAndEnds) {
  StartTool();
  tool->WaitRecord(3);
  DWORD_PTR allowed = 0xBAD;
  ASSERT_TRUE(SendMessageTimeoutW(tool->Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, kStepMs, &allowed));
  EXPECT_EQ(allowed, static_cast<DWORD_PTR>(FALSE));  // not before the Z server has heard it
  ASSERT_TRUE(tool->Tool().WaitExit(kStepMs)) << tool->Describe();
  EXPECT_EQ(tool->Tool().ExitCode(), 0u);
  EXPECT_EQ(Commands(tool->Record()), (Strings{"Show", "Joy On", "Hide", "Unload"}));
}

TEST_F(SessionEnd, AForcedEndDuringARunStopsItSaysUnloadOnceAndEnds) {
  StartTool();
  tool->WaitRecord(3);
  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  tool->Click("cmdLaunchCapture");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));
  constexpr size_t kPlanes = 20;
  SetTopAt(10);
  SetBottomAt(10.0 * kPlanes);
  SetPlanes(kPlanes, "10.00");
  SetTimings("1.0", "0.0", "0.0");
  const size_t before = tool->Record().size();
  tool->Click("cmdFocura");
  // The start move and the first plane: its move, position and pulse.
  ASSERT_GE(tool->WaitRecord(before + 5).size(), before + 5);
  // Nobody asks: the end is announced, as after "Shut down anyway".
  SendMessageTimeoutW(tool->Main(), WM_ENDSESSION, TRUE, ENDSESSION_CRITICAL, SMTO_NORMAL, kStepMs,
                      nullptr);
  ASSERT_TRUE(tool->Tool().WaitExit(kStepMs)) << tool->Describe();
  const Strings sent = Commands(tool->Record());
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "Unload");
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "Unload"), 1);
  EXPECT_LT(sent.size(), before + 1 + 4 * kPlanes) << "the run went on to its end";
}

}  // namespace
}  // namespace focura::e2e
