#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acq_rig.h"
#include "text/Errors.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using testing::AcqRig;
using Strings = std::vector<std::string>;

const std::string kStep10 = "Z Rel -10.0000 ; Z Wait ;";

struct RunTest : ::testing::Test {
  AcqRig r;
  ZAcq& acq = r.acq;
  AcqSettings& set = r.set;
  StackRun& run = r.run;

  // Top 80, bottom 100, step 10, three planes; the axis answers its positions.
  void SetUp() override {
    r.Plan(80, 100, 10, 3);
    r.Timings("0", "0", "0");
    r.z.queued["Z ?"] = {"100.0000", "90.0000", "80.0000"};
  }
  // The clock at every command, in order.
  void StampCommands() {
    r.z.onExec = [this](const std::string&) -> std::optional<std::string> {
      stamps.push_back(r.clock.now);
      return std::nullopt;
    };
  }
  std::vector<uint32_t> stamps;
  // Times at which the commands equal to `command` were sent.
  std::vector<uint32_t> TimesOf(const std::string& command) {
    std::vector<uint32_t> t;
    for (size_t i = 0; i < r.z.commands.size(); ++i) {
      if (r.z.commands[i] == command)
        t.push_back(stamps.at(i));
    }
    return t;
  }
  size_t Count(const std::string& command) {
    size_t n = 0;
    for (const auto& c : r.z.commands)
      n += c == command;
    return n;
  }
};

TEST_F(RunTest, SendsStartMoveThenStepAndQueryPerPlaneAndLogsTheReplies) {
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.z.commands,
            (Strings{"Z 110.0000 ; Z Wait ;", kStep10, "Z ?", kStep10, "Z ?", kStep10, "Z ?"}));
  EXPECT_EQ(run.ZLog,
            "Planes 3, Step = -10.00 ;\r\n#1, Z=100.0000\r\n#2, Z=90.0000\r\n#3, Z=80.0000\r\n");
  EXPECT_EQ(r.w.statusHistory, (Strings{"Z= 110.00", "#1, Z=100.0000", "#2, Z=90.0000",
                                        "#3, Z=80.0000", "Z-stack finished"}));
  EXPECT_EQ(r.w.pumps, 1 + 3);
  EXPECT_FALSE(run.Running());
  // The plan is left as it was, the axis where the last plane put it: no return move.
  EXPECT_EQ(set.ZBottom, 100.0);
  EXPECT_EQ(set.StepSize, 10.0);
}

TEST_F(RunTest, StartAndStepCarryFourDecimalsAndTheReplyIsLoggedUnchanged) {
  set.ZTop = 95;
  set.StepSize = 2.5;
  set.NumPlanes = 1;
  r.z.queued["Z ?"] = {"  100.00 um\tok "};
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.z.commands, (Strings{"Z 102.5000 ; Z Wait ;", "Z Rel -2.5000 ; Z Wait ;", "Z ?"}));
  EXPECT_EQ(r.w.statusHistory.front(), "Z= 102.50");
  EXPECT_EQ(run.ZLog, "Planes 1, Step = -2.50 ;\r\n#1, Z=  100.00 um\tok \r\n");
}

TEST_F(RunTest, AStepTooSmallForFourDecimalsMovesByZero) {
  set.ZTop = 99.99;
  set.StepSize = 0.00004;
  set.NumPlanes = 2;
  r.HardwareTrigger(0);
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.z.commands.at(0), "Z 100.0000 ; Z Wait ;");
  EXPECT_EQ(Count("Z Rel 0.0000 ; Z Wait ;"), 2u);
  EXPECT_EQ(Count("CON /2J1R"), 2u);
}

TEST_F(RunTest, TriggersOneFramePerPlaneAfterThePositionQuery) {
  set.Frame.CaptureType = 3;
  set.Frame.CaptureTaskId = 4242;
  set.Frame.KeyDelayMs = 0;
  std::vector<size_t> commandsAtActivation;
  r.desk.onActivate = [&](int32_t) { commandsAtActivation.push_back(r.z.commands.size()); };
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(commandsAtActivation, (std::vector<size_t>{3, 5, 7}));
  ASSERT_EQ(r.desk.sent.size(), 3u);
  EXPECT_EQ(r.desk.sent[2], KeyStrokes{KeyStroke::Named(NamedKey::F8)});
}

TEST_F(RunTest, SettleAndCaptureDelaysSurroundTheTrigger) {
  r.HardwareTrigger(0);
  r.Timings("0.25", "0.5", "0");
  StampCommands();
  EXPECT_EQ(r.Acquire(), 1);
  const auto query = TimesOf("Z ?");
  const auto on = TimesOf("CON /2J1R");
  const auto off = TimesOf("CON /2J0R");
  const auto step = TimesOf(kStep10);
  ASSERT_EQ(on.size(), 3u);
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_GT(on[k] - query[k], 500u);  // settle after the query
    EXPECT_LT(on[k] - query[k], 510u);
  }
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_GT(step[k + 1] - off[k], 250u);  // capture delay before the next move
    EXPECT_LT(step[k + 1] - off[k], 260u);
  }
}

TEST_F(RunTest, PeriodPadsEveryPlaneFromJustBeforeItsMove) {
  r.Timings("0.1", "0.2", "2");
  for (uint32_t start : {1000u, 0x7FFFFFFFu - 1500u, 0xFFFFFFFFu - 1500u}) {
    r.clock.now = start;
    r.z.commands.clear();
    stamps.clear();
    r.w.statusHistory.clear();
    r.z.queued["Z ?"] = {"a", "b", "c"};
    StampCommands();
    EXPECT_EQ(r.Acquire(), 1) << start;
    const auto step = TimesOf(kStep10);
    ASSERT_EQ(step.size(), 3u);
    for (size_t k = 0; k < 2; ++k) {
      const uint32_t plane = step[k + 1] - step[k];  // modulo 2^32, like the counter
      EXPECT_GT(plane, 2000u) << start;
      EXPECT_LT(plane, 2010u) << start;
    }
    for (const auto& s : r.w.statusHistory)
      EXPECT_NE(s, "Given period is too short") << start;
  }
}

TEST_F(RunTest, PeriodTooShortWarnsPumpsAndGoesOn) {
  r.HardwareTrigger(0);
  r.Timings("0.3", "0.3", "0.5");
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.statusHistory,
            (Strings{"Z= 110.00", "#1, Z=100.0000", "Given period is too short", "#2, Z=90.0000",
                     "Given period is too short", "#3, Z=80.0000", "Given period is too short",
                     "Z-stack finished"}));
  EXPECT_EQ(r.w.pumps, 1 + 3 * 2);
  // Nothing of it reaches the log.
  EXPECT_EQ(run.ZLog,
            "Planes 3, Step = -10.00 ;\r\n#1, Z=100.0000\r\n#2, Z=90.0000\r\n#3, Z=80.0000\r\n");
}

TEST_F(RunTest, PeriodBelowOneMillisecondIsAlwaysTooShortAndZeroOrLessIsUnused) {
  r.Timings("0", "0", "0.0009");
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.pumps, 1 + 3 * 2);
  for (const char* unused : {"0", "-5", "-1e300"}) {
    r.w.pumps = 0;
    r.w.statusHistory.clear();
    r.z.queued["Z ?"] = {"a", "b", "c"};
    r.Timings("0", "0", unused);
    EXPECT_EQ(r.Acquire(), 1) << unused;
    EXPECT_EQ(r.w.pumps, 1 + 3) << unused;
    EXPECT_EQ(r.w.statusHistory.back(), "Z-stack finished") << unused;
  }
}

TEST_F(RunTest, PeriodEqualToThePlaneWaitsInsteadOfWarning) {
  // With negative delays and no capture method a plane reads the counter seven times, one
  // millisecond apart: its start, after its move, for the time left, twice per wait, and once
  // for the period test.
  r.Timings("-1", "-1", "0.0071");  // 7 ms: 0.007 s would truncate to 6
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.pumps, 1 + 3);
  r.z.queued["Z ?"] = {"a", "b", "c"};
  r.Timings("-1", "-1", "0.0061");
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.pumps, 4 + 1 + 3 * 2);
}

TEST_F(RunTest, TellsAtItsEndThatATriggerPulseRanLong) {
  r.HardwareTrigger(0);
  int offs = 0;
  r.z.onExec = [&](const std::string& command) -> std::optional<std::string> {
    if (command == "CON /2J0R") {
      ++offs;
      r.clock.now += offs == 1 ? 400 : offs == 2 ? 900 : 0;
    }
    return std::nullopt;
  };
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.Status(),
            "Z-stack finished; the trigger output stayed on too long at 2 planes (up to 903 ms, "
            "hold time 0 ms)");
  // The next run counts its own pulses only.
  r.z.onExec = nullptr;
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
}

TEST_F(RunTest, RefusedPlanShowsErrorAndTouchesNothing) {
  set.NumPlanes = 0;
  run.ZLog = "previous";
  run.CancelZ = 1;
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.statusHistory, Strings{"Error"});
  EXPECT_TRUE(r.z.commands.empty());
  EXPECT_EQ(run.ZLog, "previous");
  EXPECT_EQ(run.CancelZ, 1);
  EXPECT_EQ(r.w.pumps, 0);
  set.NumPlanes = 3;
  r.Timings("0", "x", "0");
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.statusHistory, (Strings{"Error", "Error"}));
  EXPECT_TRUE(r.z.commands.empty());
  EXPECT_FALSE(run.Running());
}

TEST_F(RunTest, EndsTooFarApartToShowAreRefusedAsAPlanError) {
  set.ZTop = 1e308;
  set.ZBottom = -1e308;
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.statusHistory, Strings{"Error"});
  EXPECT_TRUE(r.z.commands.empty());
  EXPECT_FALSE(run.Running());
}

TEST_F(RunTest, RefusesWhatItCannotConvertBeforeSendingAnything) {
  struct Case {
    const char* delay;
    const char* settle;
    const char* period;
    int32_t planes;
    const char* status;
  };
  for (Case c : {
           Case{"0", "0", "0", 32768, "Too many planes (at most 32767)"},
           Case{"0", "0", "0", 2000000000, "Too many planes (at most 32767)"},
           Case{"0", "2147484", "0", 3, "Settle delay too long (at most 2147483 s)"},
           Case{"0", "-2147484", "0", 3, "Settle delay out of range (at least -2147483 s)"},
           Case{"1e12", "0", "0", 3, "Capture delay too long (at most 2147483 s)"},
           Case{"-1e12", "0", "0", 3, "Capture delay out of range (at least -2147483 s)"},
           Case{"0", "0", "2147483.648", 3, "Period too long (at most 2147483 s)"},
       }) {
    AcqRig fresh;
    fresh.Plan(0, 100, 0.001, c.planes);
    fresh.Timings(c.delay, c.settle, c.period);
    fresh.run.ZLog = "previous";
    fresh.run.CancelZ = 1;
    EXPECT_EQ(fresh.Acquire(), -1) << c.status;
    EXPECT_EQ(fresh.w.Status(), c.status);
    EXPECT_TRUE(fresh.z.commands.empty()) << c.status;
    EXPECT_EQ(fresh.run.ZLog, "previous") << c.status;
    EXPECT_EQ(fresh.run.CancelZ, 1) << c.status;
    EXPECT_FALSE(fresh.run.Running());
  }
  // The largest values that fit are accepted (shown with a run that fails at once).
  set.NumPlanes = 32767;
  r.Timings("2147483.647", "-2147483.648", "2147483.647");
  r.z.failures["Z 110.0000 ; Z Wait ;"] = "limit";
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.Status(),
            "Z-stack stopped at the start move: Z server command \"Z 110.0000 ; Z Wait ;\" "
            "failed: limit");
}

TEST_F(RunTest, AStartBeyondTheNumberRangeIsRefused) {
  set.ZTop = 1e308;
  set.ZBottom = 1.7e308;
  set.StepSize = 1.7e308;
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.Status(), "Start position out of range");
  EXPECT_TRUE(r.z.commands.empty());
}

TEST_F(RunTest, OnePlaneStartsOneStepBelowAndStepsBackToTheBottom) {
  set.NumPlanes = 1;
  r.HardwareTrigger(0);
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(r.z.commands,
            (Strings{"Z 110.0000 ; Z Wait ;", kStep10, "Z ?", "CON /2J1R", "CON /2J0R"}));
  EXPECT_EQ(run.ZLog, "Planes 1, Step = -10.00 ;\r\n#1, Z=100.0000\r\n");
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
}

TEST_F(RunTest, TheLargestPlaneCountEndsAfterItsLastPlane) {
  set.NumPlanes = 32767;
  r.Timings("-1", "-1", "0");
  r.z.queued.clear();
  r.z.replies["Z ?"] = "z";
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(Count("Z ?"), 32767u);
  EXPECT_EQ(r.w.statusHistory.end()[-2], "#32767, Z=z");
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
  EXPECT_TRUE(run.ZLog.ends_with("\r\n#32767, Z=z\r\n"));
}

TEST_F(RunTest, ASecondRunReplacesTheLog) {
  EXPECT_EQ(r.Acquire(), 1);
  set.NumPlanes = 1;
  r.z.replies["Z ?"] = "second";
  r.Acquire();
  EXPECT_EQ(run.ZLog, "Planes 1, Step = -10.00 ;\r\n#1, Z=second\r\n");
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
}

// Pump numbers: 1 after validation, then one per plane after the settle (no period warnings).
TEST_F(RunTest, CancelAtTheFirstPumpIsErasedAndTheRunFinishes) {
  r.w.onPump = [this](int n) {
    if (n == 1)
      run.RequestCancel();
  };
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(run.CancelZ, 0);
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
}

TEST_F(RunTest, CancelBeforeARunHasNoEffectOnIt) {
  run.RequestCancel();
  EXPECT_EQ(run.CancelZ, 1);
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(run.CancelZ, 0);
}

TEST_F(RunTest, CancelAfterTheSettleStillTriggersThatPlaneThenStops) {
  r.HardwareTrigger(0);
  r.Timings("5", "0", "0");  // a capture delay that would show if it were waited
  r.w.onPump = [this](int n) {
    if (n == 3)
      run.RequestCancel();  // plane 2
  };
  const long readsBefore = r.clock.reads;
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.z.commands, (Strings{"Z 110.0000 ; Z Wait ;", kStep10, "Z ?", "CON /2J1R",
                                   "CON /2J0R", kStep10, "Z ?", "CON /2J1R", "CON /2J0R"}));
  EXPECT_EQ(run.ZLog, "Planes 3, Step = -10.00 ;\r\n#1, Z=100.0000\r\n#2, Z=90.0000\r\n");
  EXPECT_EQ(r.w.Status(), "Z-stack cancelled");
  EXPECT_EQ(run.CancelZ, 1);
  EXPECT_LT(r.clock.reads - readsBefore, 5000 + 100);  // one capture delay, not two
  EXPECT_FALSE(run.Running());
}

TEST_F(RunTest, CancelAtTheLastPlaneEndsAsCancelled) {
  r.HardwareTrigger(0);
  r.w.onPump = [this](int n) {
    if (n == 4)
      run.RequestCancel();
  };
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(Count("CON /2J1R"), 3u);
  EXPECT_EQ(r.w.Status(), "Z-stack cancelled");
}

TEST_F(RunTest, CancelAtThePeriodWarningTakesOneMorePlane) {
  r.HardwareTrigger(0);
  r.Timings("0", "0", "0.0001");
  // Pumps: 1; plane 1: 2 (settle), 3 (warning); plane 2: 4, 5; plane 3: 6, 7.
  r.w.onPump = [this](int n) {
    if (n == 3)
      run.RequestCancel();
  };
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(Count("CON /2J1R"), 2u);
  EXPECT_EQ(run.ZLog, "Planes 3, Step = -10.00 ;\r\n#1, Z=100.0000\r\n#2, Z=90.0000\r\n");
  EXPECT_EQ(r.w.Status(), "Z-stack cancelled");

  // At the last plane's warning the run has nothing left to cancel.
  AcqRig last;
  last.Plan(80, 100, 10, 3);
  last.Timings("0", "0", "0.0001");
  last.w.onPump = [&last](int n) {
    if (n == 7)
      last.run.RequestCancel();
  };
  EXPECT_EQ(last.Acquire(), 1);
  EXPECT_EQ(last.w.Status(), "Z-stack finished");
  EXPECT_EQ(last.run.CancelZ, 1);
}

TEST_F(RunTest, ASecondStartDuringARunIsRefusedSilently) {
  for (int pump : {1, 2, 4}) {
    AcqRig x;
    x.Plan(80, 100, 10, 3);
    x.Timings("0", "0", "0");
    int16_t nested = 99;
    size_t commandsBefore = 0, statusBefore = 0;
    x.w.onPump = [&](int n) {
      if (n != pump)
        return;
      commandsBefore = x.z.commands.size();
      statusBefore = x.w.statusHistory.size();
      const long readsBefore = x.w.reads;
      nested = x.Acquire();
      EXPECT_EQ(x.w.reads, readsBefore);
      EXPECT_EQ(x.z.commands.size(), commandsBefore);
      EXPECT_EQ(x.w.statusHistory.size(), statusBefore);
      EXPECT_TRUE(x.run.Running());
    };
    EXPECT_EQ(x.Acquire(), 1) << pump;
    EXPECT_EQ(nested, 0) << pump;
    EXPECT_EQ(x.z.commands.size(), 7u) << pump;
    EXPECT_EQ(x.w.Status(), "Z-stack finished");
    EXPECT_FALSE(x.run.Running());
  }
}

TEST_F(RunTest, APlanChangedAtTheFirstPumpIsTheOneThatRuns) {
  r.w.onPump = [this](int n) {
    if (n == 1)
      set.NumPlanes = 2;
  };
  EXPECT_EQ(r.Acquire(), 1);
  EXPECT_EQ(run.ZLog, "Planes 2, Step = -10.00 ;\r\n#1, Z=100.0000\r\n#2, Z=90.0000\r\n");
}

// A handler at the first pump can change the plan. Only a plan that would move the axis to an
// undefined place is refused; any other runs as it stands, with the cancel request cleared.
TEST_F(RunTest, APlanChangedAtTheFirstPumpRunsAsItStandsUnlessItWouldMoveTheAxisUnsafely) {
  struct Change {
    const char* what;
    void (*apply)(AcqRig&);
    int16_t result;
    Strings sent;  // empty when refused
  };
  const Strings none, startOnly{"Z 110.0000 ; Z Wait ;"};
  const Strings onePlane{"Z 110.0000 ; Z Wait ;", kStep10, "Z ?"};
  const Change changes[] = {
      {"negative step", [](AcqRig& a) { a.set.StepSize = -10; }, -1, none},
      {"zero step", [](AcqRig& a) { a.set.StepSize = 0; }, -1, none},
      {"step not set", [](AcqRig& a) { a.set.StepSize = NotSetD; }, -1, none},
      {"bottom not set", [](AcqRig& a) { a.set.ZBottom = NotSetD; }, -1, none},
      {"top not set", [](AcqRig& a) { a.set.ZTop = NotSetD; }, -1, none},
      {"too many", [](AcqRig& a) { a.set.NumPlanes = 40000; }, -1, none},
      {"no planes left", [](AcqRig& a) { a.set.NumPlanes = 0; }, 1, startOnly},
      {"a negative count", [](AcqRig& a) { a.set.NumPlanes = -5; }, 1, startOnly},
      {"one plane, cancel pressed",
       [](AcqRig& a) {
         a.set.NumPlanes = 1;
         a.run.CancelZ = 1;
       },
       1, onePlane},
      {"ends out of order",
       [](AcqRig& a) {
         a.set.NumPlanes = 1;
         a.set.ZTop = 200;
       },
       1, onePlane},
  };
  for (const Change& c : changes) {
    AcqRig x;
    x.Plan(80, 100, 10, 3);
    x.Timings("0", "0", "0");
    x.w.onPump = [&](int n) {
      if (n == 1)
        c.apply(x);
    };
    EXPECT_EQ(x.Acquire(), c.result) << c.what;
    EXPECT_EQ(x.z.commands, c.sent) << c.what;
    if (c.result < 0) {
      EXPECT_TRUE(x.run.ZLog.empty()) << c.what;
    } else {
      EXPECT_EQ(x.w.Status(), "Z-stack finished") << c.what;
      EXPECT_EQ(x.run.CancelZ, 0) << c.what;
    }
  }
}

TEST_F(RunTest, AZServerFailureStopsTheRunAndNamesThePlane) {
  int queries = 0;
  r.z.onExec = [&](const std::string& cmd) -> std::optional<std::string> {
    if (cmd == "Z ?" && ++queries == 2)
      throw ZServerError(cmd, "motor fault");
    return std::nullopt;
  };
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.w.Status(),
            "Z-stack stopped at plane 2: Z server command \"Z ?\" failed: motor fault");
  EXPECT_EQ(r.z.commands.back(), "Z ?");
  EXPECT_EQ(r.z.commands.size(), 5u);
  EXPECT_EQ(run.ZLog, "Planes 3, Step = -10.00 ;\r\n#1, Z=100.0000\r\n");
  EXPECT_FALSE(run.Running());
  // The next run starts normally.
  r.z.onExec = nullptr;
  r.z.queued["Z ?"] = {"1", "2", "3"};
  EXPECT_EQ(r.Acquire(), 1);
}

TEST_F(RunTest, AFailingStartMoveSendsNothingMore) {
  r.z.failures["Z 110.0000 ; Z Wait ;"] = "not homed";
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_EQ(r.z.commands, Strings{"Z 110.0000 ; Z Wait ;"});
  EXPECT_EQ(r.w.Status(),
            "Z-stack stopped at the start move: Z server command \"Z 110.0000 ; Z Wait ;\" "
            "failed: not homed");
  EXPECT_EQ(run.ZLog, "Planes 3, Step = -10.00 ;\r\n");
}

TEST_F(RunTest, ACaptureProgramNotInFrontStopsTheRunWithoutTypingElsewhere) {
  set.Frame.CaptureType = 1;
  set.Frame.CaptureTaskId = 4242;
  set.Frame.KeyDelayMs = 0;
  r.desk.refuseFocus = true;
  EXPECT_EQ(r.Acquire(), -1);
  EXPECT_TRUE(r.desk.sent.empty());
  EXPECT_EQ(r.w.Status(),
            "Z-stack stopped at plane 1: The capture program (task 4242) is not in front; no key "
            "was sent");
  EXPECT_EQ(r.z.commands.size(), 3u);
  EXPECT_FALSE(run.Running());
}

TEST_F(RunTest, AWindowClosedAtAPumpUnwindsWithoutAnotherCommandOrStatus) {
  for (int pump : {1, 3}) {
    AcqRig x;
    x.Plan(80, 100, 10, 3);
    x.run.ZLog = "previous";
    x.Timings("0", "0", "0");
    size_t commands = 0, statuses = 0;
    x.w.onPump = [&](int n) {
      if (n != pump)
        return;
      commands = x.z.commands.size();
      statuses = x.w.statusHistory.size();
      throw WindowClosed();
    };
    EXPECT_THROW(x.Acquire(), WindowClosed) << pump;
    EXPECT_EQ(x.z.commands.size(), commands) << pump;
    EXPECT_EQ(x.w.statusHistory.size(), statuses) << pump;
    EXPECT_FALSE(x.run.Running()) << pump;
  }
}

}  // namespace
}  // namespace focura
