// The run's estimated length against what a run on the fake clock really takes, the time left
// the taskbar's tooltip shows, and the tooltip of "Acquire Z Stack" with what it warns of.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "acq/RunEstimate.h"
#include "acq_rig.h"
#include "ui/RunPlanTip.h"

namespace focura {
namespace {

using testing::AcqRig;

struct Estimate : ::testing::Test {
  AcqRig r;
  ZAcq& acq = r.acq;

  // Ends 10 and 50, five planes of 10, the hardware trigger launched with a 10 ms hold; every
  // move lasts `moveMs` on the fake clock.
  void SetUp() override {
    acq.ZTop = 10;
    acq.ZBottom = 50;
    acq.StepSize = 10;
    acq.NumPlanes = 5;
    acq.CaptureType = kCaptureHardware;
    acq.CaptureTaskId = 1;
    acq.LaunchedType = kCaptureHardware;
    acq.TriggerHoldMs = 10;
    r.z.onExec = [this](const std::string& command) -> std::optional<std::string> {
      if (command.find("Z Wait") != std::string::npos)
        r.clock.now += moveMs;
      return std::nullopt;
    };
  }
  void Timings(const char* capture, const char* settle, const char* period) {
    r.w.texts["txtDelay"] = capture;
    r.w.texts["txtSettle"] = settle;
    r.w.texts["txtPeriod"] = period;
  }
  RunEstimate Now() {
    return EstimateRun(acq, acq.Num.ToDouble(r.w.texts["txtDelay"]),
                       acq.Num.ToDouble(r.w.texts["txtSettle"]),
                       acq.Num.ToDouble(r.w.texts["txtPeriod"]));
  }
  // The run's length on the fake clock.
  double Run() {
    const uint32_t from = r.clock.now;
    EXPECT_EQ(acq.AcquireStack(), 1);
    return static_cast<double>(r.clock.now - from);
  }
  uint32_t moveMs = 40;
};

TEST_F(Estimate, CountsTheMovesOnlyOnceARunHasMeasuredThemAndThenMatchesTheRun) {
  // Long enough for the fake counter's own millisecond per read not to matter.
  Timings("0.2", "0.3", "0");
  acq.TriggerHoldMs = 100;
  moveMs = 400;
  const RunEstimate before = Now();
  EXPECT_EQ(before.moves, MoveSource::NotCounted);
  EXPECT_EQ(before.planes, 5);
  EXPECT_DOUBLE_EQ(before.planeMs, 300 + 100 + 200);
  EXPECT_DOUBLE_EQ(before.TotalMs(), 5 * 600);

  const double first = Run();
  const RunEstimate after = Now();
  EXPECT_EQ(after.moves, MoveSource::LastRun);
  EXPECT_NEAR(after.moveMs, moveMs, 2);  // the move and the position query
  // The start move and five planes of move, settle, hold and capture.
  EXPECT_NEAR(after.TotalMs(), first, 0.02 * first);
  EXPECT_LT(before.TotalMs(), 0.6 * first);

  // Slower moves are measured again by the next run.
  moveMs = 1000;
  const double second = Run();
  EXPECT_NEAR(Now().TotalMs(), second, 0.02 * second);
}

TEST_F(Estimate, APeriodLongerThanThePlaneSetsThePace) {
  Timings("0.02", "0.03", "0.3");
  EXPECT_DOUBLE_EQ(Now().planeMs, 300);
  const double length = Run();
  EXPECT_NEAR(Now().TotalMs(), length, 0.02 * length);
  // A period shorter than the plane's own work does not shorten it.
  Timings("0.02", "0.03", "0.05");
  EXPECT_NEAR(Now().planeMs, acq.MeasuredMoveMs + 60, 1e-9);
}

TEST_F(Estimate, TheSimulatorsSpeedCountsTheMovesBeforeAnyRun) {
  Timings("0", "0", "0");
  acq.SimulatorSpeed = [] { return 500.0; };  // 10 um at 500 um/s: 20 ms
  const RunEstimate e = Now();
  EXPECT_EQ(e.moves, MoveSource::SimulatorSpeed);
  EXPECT_DOUBLE_EQ(e.moveMs, 20);
  EXPECT_DOUBLE_EQ(e.TotalMs(), 20 + 5 * (20 + 10));
}

TEST_F(Estimate, TheTimeLeftFollowsThePlanesAlreadyTaken) {
  // Thirty seconds a plane: the first plane has only the estimate, the others what it took.
  Timings("0", "0", "30");
  acq.TriggerHoldMs = 0;
  Run();
  EXPECT_EQ(
      r.ports.timeLeft,
      (std::vector<std::string>{"Plane 1 of 5, about 3 min left", "Plane 2 of 5, about 2 min left",
                                "Plane 3 of 5, about 2 min left", "Plane 4 of 5, about 1 min left",
                                "Plane 5 of 5, about 1 min left"}));
  EXPECT_EQ(LengthText(2500), "2.5 s");
  EXPECT_EQ(LengthText(150000), "2.5 min");
  EXPECT_EQ(LengthText(2.5 * 3600000), "2.5 h");
}

TEST_F(Estimate, TheRunButtonsTipSaysThePlanAndWhatWillTriggerNothing) {
  struct Case {
    const char* name;
    std::function<void(ZAcq&)> arrange;
    const char* tip;
  };
  const Case cases[] = {
      {"hardware trigger before any run", [](ZAcq&) {},
       "5 planes, about 0.6 s (moves not counted)"},
      {"after a run", [](ZAcq& a) { a.MeasuredMoveMs = 40; },
       "5 planes, about 0.8 s (moves of 40 ms as measured in the last run)"},
      {"refused plan", [](ZAcq& a) { a.ZTop = NotSetD; },
       "Now a run would be refused with \"Error\": Acquire Z Stack: the top is not set (Set Top)"},
      {"Fuji key 3",
       [](ZAcq& a) {
         a.CaptureType = a.LaunchedType = 4;
         a.CaptureTaskId = 77;
         a.FujiKey = 3;
         a.KeyDelayMs = 10;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "The run will send no key: Fuji Capture Key is 3, not 1 or 2"},
      {"no key from the file",
       [](ZAcq& a) {
         a.CaptureType = a.LaunchedType = 5;
         a.CaptureTaskId = 77;
         a.CaptureKey = "";
         a.KeyDelayMs = 10;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "The run will send no key: capturekey.txt gave no key"},
      {"launched for another method",
       [](ZAcq& a) {
         a.LaunchedType = 1;
         a.CaptureTaskId = 77;
       },
       "5 planes, about 0.6 s (moves not counted)\n"
       "Launched for Canon EOS Utility, but Hardware Trigger is chosen now: the frames will be "
       "trigger pulses, with no program taking them; launch again"},
      {"nothing launched", [](ZAcq& a) { a.CaptureTaskId = 0; },
       "5 planes, about 0.5 s (moves not counted)\n"
       "Nothing is launched: the run will trigger no frame"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AcqRig rig;
    rig.acq.ZTop = 10;
    rig.acq.ZBottom = 50;
    rig.acq.StepSize = 10;
    rig.acq.NumPlanes = 5;
    rig.acq.CaptureType = rig.acq.LaunchedType = kCaptureHardware;
    rig.acq.CaptureTaskId = 1;
    rig.acq.TriggerHoldMs = 10;
    rig.w.texts = {{"txtDelay", "0.02"}, {"txtSettle", "0.08"}, {"txtPeriod", "0"}};
    c.arrange(rig.acq);
    EXPECT_EQ(RunPlanTip(rig.acq, rig.w), c.tip);
    EXPECT_TRUE(rig.z.commands.empty());  // the tip asks the Z server nothing
  }
}

}  // namespace
}  // namespace focura
