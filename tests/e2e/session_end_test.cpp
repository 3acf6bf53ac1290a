// The operator logs off or shuts down with the tool open: the Z server hears "Unload" once, from
// the tool's own message loop rather than inside the system's messages, and the tool ends.

#include "E2ETest.h"

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

}  // namespace
}  // namespace focura::e2e
