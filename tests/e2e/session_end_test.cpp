// The operator logs off or shuts down with the tool open: the Z server hears "Unload" once, as at
// a close, and the tool does not stand in the way.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class SessionEnd : public E2ETest {};

TEST_F(SessionEnd, SaysUnloadOnceAndEnds) {
  StartTool();
  tool->WaitRecord(3);
  DWORD_PTR allowed = 0;
  ASSERT_TRUE(SendMessageTimeoutW(tool->Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                  SMTO_NORMAL, kStepMs, &allowed));
  EXPECT_EQ(allowed, static_cast<DWORD_PTR>(TRUE));
  EXPECT_EQ(Commands(tool->Record()).size(), 3u);  // asking is not yet the end

  SendMessageTimeoutW(tool->Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, kStepMs,
                      nullptr);
  // A close arriving late changes nothing.
  EXPECT_EQ(tool->CloseAndWait(), 0u);
  EXPECT_EQ(Commands(tool->Record()), (Strings{"Show", "Joy On", "Hide", "Unload"}));
}

}  // namespace
}  // namespace focura::e2e
