// The run's estimated length against what a run on the fake clock really takes, the time left
// the taskbar's tooltip shows, and the tooltip of "Acquire Z Stack" with what it warns of.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "acq/RunEstimate.h"
#include "acq_rig.h"
#include "ui/RunPlanTip.h"

namespace focura {
namespace {

using testing::AcqRig;

// Ends 10 and 50, five planes of 10, the hardware trigger launched with a 10 ms hold.
void FivePlanes(AcqRig& r) {
  r.Plan(10, 50, 10, 5);
  r.HardwareTrigger(10);
  r.set.LaunchedType = kCaptureHardware;
}

RunEstimate Estimate(AcqRig& r) {
  const auto box = [&r](Control name) { return r.acq.Num.ToDouble(r.w.texts[name]); };
  return EstimateRun(r.set, r.run, box(Control::txtDelay), box(Control::txtSettle),
                     box(Control::txtPeriod));
}

// Runs with every move lasting `moveMs` on the fake clock; returns the run's length there.
double RunFor(AcqRig& r, uint32_t moveMs) {
  r.z.onExec = [&r, moveMs](const std::string& command) -> std::optional<std::string> {
    if (command.find("Z Wait") != std::string::npos)
      r.clock.now += moveMs;
    return std::nullopt;
  };
  const uint32_t from = r.clock.now;
  EXPECT_EQ(r.Acquire(), 1);
  return static_cast<double>(r.clock.now - from);
}

TEST(RunEstimate, APlaneIsItsMoveWaitsAndFrameOrThePeriodWhenThatIsLonger) {
  struct Case {
    const char* what;
    const char *capture, *settle, *period;
    double speed;          // um/s of the simulator as the Z server; 0: another server
    double lastRunMoveMs;  // -1: no run yet
    MoveSource moves;
    double moveMs, planeMs;
  };
  using enum MoveSource;
  const Case cases[] = {
      {"moves not counted before any run", "0.2", "0.3", "0", 0, -1, NotCounted, 0, 510},
      {"the simulator's speed: 10 um at 500 um/s", "0", "0", "0", 500, -1, SimulatorSpeed, 20, 30},
      {"the simulator's speed before a last run's", "0", "0", "0", 500, 90, SimulatorSpeed, 20, 30},
      {"the last run's moves", "0.02", "0.03", "0", 0, 40, LastRun, 40, 100},
      {"a period longer than the work", "0.02", "0.03", "0.3", 0, -1, NotCounted, 0, 300},
      {"a period shorter than the work", "0.02", "0.03", "0.05", 0, 40, LastRun, 40, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AcqRig r;
    FivePlanes(r);
    r.Timings(c.capture, c.settle, c.period);
    if (c.speed > 0)
      r.run.SimulatorSpeed = [&c] { return c.speed; };
    r.run.MeasuredMoveMs = c.lastRunMoveMs;
    const RunEstimate e = Estimate(r);
    EXPECT_EQ(e.moves, c.moves);
    EXPECT_DOUBLE_EQ(e.moveMs, c.moveMs);
    EXPECT_DOUBLE_EQ(e.planeMs, c.planeMs);
    EXPECT_DOUBLE_EQ(e.TotalMs(), c.moveMs + 5 * c.planeMs);  // the start move and every plane
  }
}

TEST(RunEstimate, ARunMeasuresItsMovesAndTheEstimateAfterItMatchesItsLength) {
  AcqRig r;
  FivePlanes(r);
  // Long enough for the fake counter's own millisecond per read not to matter.
  r.set.Frame.TriggerHoldMs = 100;
  // Slower moves are measured again by the next run; a period sets the pace where it is longer.
  const std::pair<uint32_t, const char*> runs[] = {{400, "0"}, {1000, "0"}, {40, "1"}};
  for (const auto& [moveMs, period] : runs) {
    SCOPED_TRACE(moveMs);
    r.Timings("0.2", "0.3", period);
    const double length = RunFor(r, moveMs);
    const RunEstimate after = Estimate(r);
    EXPECT_EQ(after.moves, MoveSource::LastRun);
    EXPECT_NEAR(after.moveMs, moveMs, 2);  // the move and the position query
    EXPECT_NEAR(after.TotalMs(), length, 0.02 * length);
  }
}

TEST(RunEstimate, TheTimeLeftFollowsThePlanesAlreadyTaken) {
  // Thirty seconds a plane: the first plane has only the estimate, the others what it took.
  AcqRig r;
  FivePlanes(r);
  r.set.Frame.TriggerHoldMs = 0;
  r.Timings("0", "0", "30");
  RunFor(r, 40);
  EXPECT_EQ(
      r.ports.timeLeft,
      (std::vector<std::string>{"Plane 1 of 5, about 3 min left", "Plane 2 of 5, about 2 min left",
                                "Plane 3 of 5, about 2 min left", "Plane 4 of 5, about 1 min left",
                                "Plane 5 of 5, about 1 min left"}));
  EXPECT_EQ(LengthText(2500), "2.5 s");
  EXPECT_EQ(LengthText(150000), "2.5 min");
  EXPECT_EQ(LengthText(2.5 * 3600000), "2.5 h");
}

TEST(RunEstimate, TheRunButtonsTipSaysThePlanAndWhatWillTriggerNothing) {
  struct Case {
    const char* name;
    void (*arrange)(AcqRig&);
    const char* tip;
  };
  const Case cases[] = {
      {"hardware trigger before any run", [](AcqRig&) {},
       "5 planes, about 0.6 s (moves not counted)"},
      {"after a run", [](AcqRig& a) { a.run.MeasuredMoveMs = 40; },
       "5 planes, about 0.8 s (moves of 40 ms as measured in the last run)"},
      {"refused plan", [](AcqRig& a) { a.set.ZTop = NotSetD; },
       "Now a run would be refused with \"Error\": Acquire Z Stack: the top is not set (Set Top)"},
      {"Fuji key 3",
       [](AcqRig& a) {
         a.set.Frame.CaptureType = a.set.LaunchedType = 4;
         a.set.Frame.CaptureTaskId = 77;
         a.set.Frame.FujiKey = 3;
         a.set.Frame.KeyDelayMs = 10;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "The run will send no key: Fuji Capture Key is 3, not 1 or 2"},
      {"no key from the file",
       [](AcqRig& a) {
         a.set.Frame.CaptureType = a.set.LaunchedType = 5;
         a.set.Frame.CaptureTaskId = 77;
         a.set.Frame.CaptureKey = "";
         a.set.Frame.KeyDelayMs = 10;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "The run will send no key: capturekey.txt gave no key"},
      {"launched for another method",
       [](AcqRig& a) {
         a.set.LaunchedType = 1;
         a.set.Frame.CaptureTaskId = 77;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "Launched for Canon EOS Utility, but Hardware Trigger is chosen now: the frames will be "
       "trigger pulses, with no program taking them; launch again"},
      {"nothing launched", [](AcqRig& a) { a.set.Frame.CaptureTaskId = 0; },
       "5 planes, about 0.5 s (moves not counted)\n"
       "Nothing is launched: the run will trigger no frame"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcqRig r;
    FivePlanes(r);
    r.Timings("0.02", "0.08", "0");
    c.arrange(r);
    EXPECT_EQ(RunPlanTip(r.acq, r.w), c.tip);
    EXPECT_TRUE(r.z.commands.empty());  // the tip asks the Z server nothing
  }
}

}  // namespace
}  // namespace focura
