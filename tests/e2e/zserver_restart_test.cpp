// A Z server that goes away under a working tool: the tool notices at the next command, which
// fails, and starts the server again for the command after that, keeping the plan.
//
// The simulator is made to end on its own (WM_QUIT to each of its threads) rather than killed:
// Wine 8 keeps a terminated local server registered in its COM service and refuses to start it
// again until the session ends, which real Windows does not. To the tool both look the same: the
// process is gone while it still holds the object.

#include "E2ETest.h"

#include <cstdio>

#include "ProcessResources.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

// Asks every thread of process `pid` to quit.
int PostQuitToThreads(unsigned long pid) {
  int posted = 0;
  for (const unsigned long thread : ThreadIdsOf(pid)) {
    if (PostThreadMessageW(thread, WM_QUIT, 0, 0))
      ++posted;
  }
  return posted;
}

class ZServerRestart : public E2ETest {};

TEST_F(ZServerRestart, TheCommandAfterTheFailingOneStartsTheServerAgainAndThePlanStays) {
  StartTool();
  tool->WaitRecord(3);
  SetTopAt(120);

  const auto servers = ProgramsUnder(tool->Dir(), "zsim.exe");
  ASSERT_EQ(servers.size(), 1u);
  Process server = Process::Open(servers[0]);
  ASSERT_GT(PostQuitToThreads(server.Id()), 0);
  ASSERT_TRUE(server.WaitExit(kStepMs)) << "the simulator did not end";

  // The command that finds the server gone fails, and says why.
  tool->Click("cmdSetBot");
  const std::string failure = tool->WaitStatus(
      [](const std::string& s) { return s.find("has gone") != std::string::npos; });
  EXPECT_NE(failure.find("\"Z ?\""), std::string::npos) << failure;
  std::printf("the failing command: %s\n", failure.c_str());

  // The next "Set Top" starts the server again: its start-up first, then the query.
  const size_t before = tool->Record().size();
  tool->Click("cmdSetTop");
  EXPECT_TRUE(WaitUntil([&] { return tool->Text("lblTop") == F2(0, sep); }, kStartMs))
      << tool->Status();
  ASSERT_GE(tool->WaitRecord(before + 4).size(), before + 4);
  EXPECT_EQ(CommandsFrom(before), (Strings{"Show", "Joy On", "Hide", "Z ?"}));
  EXPECT_EQ(ProgramsUnder(tool->Dir(), "zsim.exe").size(), 1u);
  EXPECT_EQ(tool->CloseAndWait(), 0u);
  EXPECT_EQ(Commands(tool->Record()).back(), "Unload");
}

}  // namespace
}  // namespace focura::e2e
