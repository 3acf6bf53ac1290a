#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/SimFakes.h"
#include "sim/core/SimError.h"
#include "sim/core/Simulator.h"

namespace zsim {
namespace {

struct Sim {
  Sim() : sim(clock, focura::NumberText(".")) {}
  testing::StepClock clock;
  Simulator sim;
};

std::string MessageOf(Simulator& sim, const std::string& command) {
  try {
    sim.Exec(command);
  } catch (const SimError& e) {
    return e.what();
  }
  return "(no failure)";
}

TEST(SimFaultInjection, TheKthNextCommandFailsWithTheMessageAndDoesNothing) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Sim Fail 2   Motor stalled, axis lost  "), "OK");
  EXPECT_EQ(s.sim.Exec("Z ?"), "0.0000 um");
  EXPECT_EQ(MessageOf(s.sim, "Z 10 ; Z Wait ;"), "Motor stalled, axis lost");
  EXPECT_EQ(s.sim.Exec("Z ?"), "0.0000 um");  // the failed move never started
  EXPECT_EQ(MessageOf(s.sim, "Z ?"), "(no failure)");
}

TEST(SimFaultInjection, SeveralFailuresCountDownTogether) {
  Sim t;
  t.sim.Exec("Sim Fail 3 third");
  t.sim.Exec("Sim Fail 1");
  // The second arming is itself the first command the earlier failure counts.
  EXPECT_EQ(MessageOf(t.sim, "Z ?"), "Injected failure");
  EXPECT_EQ(MessageOf(t.sim, "Obj GetNum"), "third");
  EXPECT_EQ(t.sim.Exec("Obj GetNum"), "0 positions");
  EXPECT_EQ(t.sim.Exec("Sim Fail 0 never"), "Unknown command: Sim Fail 0 never");
  t.sim.Exec("Sim Fail 2 cleared");
  t.sim.Exec("Sim Reset");
  EXPECT_EQ(MessageOf(t.sim, "Z ?"), "(no failure)");
  EXPECT_EQ(MessageOf(t.sim, "Z ?"), "(no failure)");
}

TEST(SimFaultInjection, BusyRefusesEveryCommandUnseenForItsTime) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Sim Busy 500"), "OK");
  s.clock.Advance(490);
  EXPECT_THROW(s.sim.Exec("Z 10 ; Z Wait ;"), SimBusy);
  s.clock.Advance(10);
  EXPECT_EQ(s.sim.Exec("Z ?"), "0.0000 um");      // the refused move never started
  EXPECT_EQ(s.sim.Snapshot().recent.size(), 2u);  // refused commands are not recorded
  EXPECT_EQ(s.sim.Exec("Sim Busy -1"), "Unknown command: Sim Busy -1");
}

TEST(SimRecorder, KeepsEachCommandWithOutcomeAndBothTimes) {
  Sim s;
  s.sim.Exec("Z 300 ; Z Wait ;");
  s.clock.Advance(7);
  EXPECT_THROW(s.sim.Exec("Z 1e9"), SimError);
  s.sim.Exec("Bogus\tcommand\\x");
  const auto recent = s.sim.Snapshot().recent;
  ASSERT_EQ(recent.size(), 3u);
  EXPECT_EQ(FormatLogLine(recent[0]), "1\t5000\t5300\tOK\tZ 300 ; Z Wait ;\tOK ; OK\n");
  EXPECT_EQ(FormatLogLine(recent[1]),
            "2\t5307\t5307\tERR\tZ 1e9\t"
            "Z 1000000000.0000 is outside the soft limits -25000.0000 to 25000.0000 um\n");
  EXPECT_EQ(FormatLogLine(recent[2]),
            "3\t5307\t5307\tOK\tBogus\\tcommand\\\\x\tUnknown command: Bogus\\tcommand\\\\x\n");
  EXPECT_EQ(EscapeField("a\r\nb"), "a\\r\\nb");
}

TEST(SimRecorder, KeepsOnlyTheLatestInMemory) {
  testing::StepClock clock;
  Simulator sim(clock, focura::NumberText("."));
  for (int i = 0; i < 150; ++i)
    sim.Exec("Z ?");
  const auto recent = sim.Snapshot().recent;
  ASSERT_EQ(recent.size(), 100u);
  EXPECT_EQ(recent.front().seq, 51u);
  EXPECT_EQ(recent.back().seq, 150u);
}

TEST(SimRecorder, AppendsToTheLogFileLineByLine) {
  const auto path =
      std::filesystem::temp_directory_path() /
      ("zsim-recorder-test-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".tsv");
  std::filesystem::remove(path);
  for (int session = 0; session < 2; ++session) {
    Sim s;
    s.sim.Record().OpenLog(path, s.clock.NowMs());
    s.sim.Exec("Show");
    // Each line is on disk as soon as its command completes.
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string expected = session == 0 ? "# session 5000\n1\t5000\t5000\tOK\tShow\tOK\n"
                                              : "# session 5000\n1\t5000\t5000\tOK\tShow\tOK\n"
                                                "# session 5000\n1\t5000\t5000\tOK\tShow\tOK\n";
    EXPECT_EQ(text.str(), expected);
  }
  std::filesystem::remove(path);
  Sim s;
  EXPECT_THROW(s.sim.Record().OpenLog(path / "no" / "such" / "dir", 0), SimError);
}

}  // namespace
}  // namespace zsim
