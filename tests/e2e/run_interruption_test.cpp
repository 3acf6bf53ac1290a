// What the operator can do to a run in progress: cancel it, press "Acquire Z Stack" again, close
// the window; and what a Z server failure in the middle of it does.

#include "E2ETest.h"

#include <algorithm>

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

bool IsPlaneLine(const std::string& s, int k) {
  return s.rfind("#" + std::to_string(k) + ", Z=", 0) == 0;
}

class RunInterruption : public E2ETest {
 protected:
  // A launched stand-in and a plan of `planes` planes of 10 from 10 upwards.
  StandInLog Prepare(int planes, const std::string& delay) {
    StartTool();
    StandInLog keys = LaunchStandIn();
    SetTopAt(10);
    SetBottomAt(10.0 * planes);
    SetPlanes(planes, "10.00");
    SetTimings(delay, delay, "0.0");
    return keys;
  }

  static Strings RunCommands(int planes, int done) {
    Strings s{"Z " + F4(10.0 * planes + 10) + " ; Z Wait ;"};
    for (int k = 0; k < done; ++k) {
      s.push_back("Z Rel -10.0000 ; Z Wait ;");
      s.push_back("Z ?");
    }
    return s;
  }
};

TEST_F(RunInterruption, CancelEndsTheRunAfterThePlaneWhoseFrameWasTriggered) {
  StandInLog keys = Prepare(10, "0.2");
  const size_t from = tool->Record().size();
  tool->Click("cmdFocura");
  tool->WaitStatus([](const std::string& s) { return IsPlaneLine(s, 2); });
  tool->Click("cmdCancelZ");
  EXPECT_EQ(tool->WaitStatusIs("Z-stack cancelled"), "Z-stack cancelled");

  const Strings sent = CommandsFrom(from);
  const int done = static_cast<int>(std::count(sent.begin(), sent.end(), "Z ?"));
  EXPECT_GE(done, 2);
  EXPECT_LT(done, 10);
  EXPECT_EQ(sent, RunCommands(10, done));
  // Every plane reached was triggered, the last one included, and nothing after it.
  Execute("Z ?");
  EXPECT_EQ(keys.Keys().size(), static_cast<size_t>(done));
}

TEST_F(RunInterruption, ASecondStartDuringARunIsRefusedAndSendsNothing) {
  StandInLog keys = Prepare(4, "0.2");
  const size_t from = tool->Record().size();
  tool->Click("cmdFocura");
  tool->WaitStatus([](const std::string& s) { return IsPlaneLine(s, 1); });
  tool->Click("cmdFocura");
  EXPECT_EQ(tool->WaitStatusIs("Z-stack finished"), "Z-stack finished");
  // A later command proves nothing else was queued behind the run.
  EXPECT_EQ(Execute("Z ?"), "10.0000 um");
  Strings expected = RunCommands(4, 4);
  expected.push_back("Z ?");
  EXPECT_EQ(CommandsFrom(from), expected);
  EXPECT_EQ(keys.Keys().size(), 4u);
}

TEST_F(RunInterruption, ClosingTheWindowDuringARunUnloadsOnceSendsNothingMoreAndExitsCleanly) {
  StandInLog keys = Prepare(6, "0.3");
  const size_t from = tool->Record().size();
  tool->Click("cmdFocura");
  tool->WaitStatus([](const std::string& s) { return IsPlaneLine(s, 2); });
  EXPECT_EQ(tool->CloseAndWait(), 0u);

  const Strings sent = CommandsFrom(from);
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent.back(), "Unload");
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "Unload"), 1);
  const Strings run(sent.begin(), sent.end() - 1);
  const int done = static_cast<int>(std::count(run.begin(), run.end(), "Z ?"));
  EXPECT_LT(done, 6);
  EXPECT_EQ(run, RunCommands(6, done));
  // The server stays quiet after "Unload" (it is released once the tool has gone).
  EXPECT_EQ(Commands(tool->Record()).back(), "Unload");
  (void)keys;
}

TEST_F(RunInterruption, AZServerFailureStopsTheRunNamesTheFailureAndANewRunSucceeds) {
  StandInLog keys = Prepare(4, "0.05");
  // Counting from the next command: the start move, plane 1's move and query, then plane 2's
  // move fails.
  EXPECT_EQ(Execute("Sim Fail 4 Motor stalled"), "OK");
  const size_t from = tool->Record().size();
  tool->Click("cmdFocura");
  const std::string status = tool->WaitStatus(
      [](const std::string& s) { return s.find("Motor stalled") != std::string::npos; });
  EXPECT_NE(status.find("Motor stalled"), std::string::npos) << status;

  auto record = tool->Record();
  ASSERT_EQ(record.size(), from + 4);
  EXPECT_FALSE(record.back().ok);
  EXPECT_EQ(record.back().command, "Z Rel -10.0000 ; Z Wait ;");

  // The window still works: the axis is moved and the top marked again from the window.
  SetTopAt(10);
  const size_t second = tool->Record().size();
  EXPECT_EQ(RunStack(), "Z-stack finished");
  EXPECT_EQ(CommandsFrom(second), RunCommands(4, 4));
}

}  // namespace
}  // namespace focura::e2e
