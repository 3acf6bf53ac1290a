#include <gtest/gtest.h>

#include "acq_rig.h"
#include "capture/PlatformError.h"
#include "text/Errors.h"

namespace focura {
namespace {

using testing::AcqRig;

struct PlanTest : ::testing::Test {
  AcqRig r;
  ZAcq& acq = r.acq;
  AcqSettings& set = r.set;
  StackRun& run = r.run;
  void Ends(double top, double bottom) {
    set.ZTop = top;
    set.ZBottom = bottom;
  }
  Planned<double> Step() { return StepFromPlanes(set, r.num); }
  Planned<int32_t> Planes() { return PlanesFromStep(set, r.num); }
  void Timings(const char* delay, const char* settle, const char* period) {
    r.w.texts[Control::txtDelay] = delay;
    r.w.texts[Control::txtSettle] = settle;
    r.w.texts[Control::txtPeriod] = period;
  }
};

TEST_F(PlanTest, DefaultsLeaveCaptureAndRunStateAlone) {
  set.Frame.CaptureType = 3;
  set.Frame.CaptureTaskId = 77;
  run.CancelZ = 1;
  run.ZLog = "old";
  set.Frame.CaptureKey = "x";
  set.CaptureProgPath = "p";
  set.ZTop = 1;
  set.Frame.KeyDelayMs = 5;
  acq.LoadDefaults();
  EXPECT_EQ(set.ZTop, NotSetD);
  EXPECT_EQ(set.ZBottom, NotSetD);
  EXPECT_EQ(set.StepSize, NotSetD);
  EXPECT_EQ(set.NumPlanes, NotSet);
  EXPECT_EQ(set.CaptureDelay, 2.0);
  EXPECT_EQ(set.SettleDelay, 1.0);
  EXPECT_EQ(set.Period, 0.0);
  EXPECT_EQ(set.Frame.KeyDelayMs, 200);
  EXPECT_EQ(set.Frame.TriggerHoldMs, 500);
  EXPECT_EQ(set.Frame.FujiKey, 1);
  EXPECT_EQ(set.Frame.CaptureType, 3);
  EXPECT_EQ(set.Frame.CaptureTaskId, 77);
  EXPECT_EQ(run.CancelZ, 1);
  EXPECT_EQ(run.ZLog, "old");
  EXPECT_EQ(set.Frame.CaptureKey, "x");
  EXPECT_EQ(set.CaptureProgPath, "p");
}

TEST_F(PlanTest, StepFromPlanesDividesTheHeight) {
  Ends(10, 110);
  set.NumPlanes = 5;
  EXPECT_EQ(Step().Value(), 25.0);
  set.NumPlanes = 2;
  EXPECT_EQ(Step().Value(), 100.0);
  Ends(110, 10);  // either order
  set.NumPlanes = 3;
  EXPECT_EQ(Step().Value(), 50.0);
}

TEST_F(PlanTest, StepFromPlanesRefusesAnUnusablePlan) {
  set.StepSize = 3;
  set.NumPlanes = 5;
  EXPECT_EQ(Step().Reason(),
            "neither end is set (Set Top and Set Bottom, or Get Joystick Top and Bottom)");
  Ends(10, NotSetD);
  EXPECT_EQ(Step().Reason(), "the bottom is not set (Set Bottom)");
  Ends(10, 10);
  EXPECT_EQ(Step().Reason(), "top and bottom are both 10.00: the stack has no height");
  Ends(10, 110);
  for (int32_t n : {0, -4}) {
    set.NumPlanes = n;
    EXPECT_FALSE(Step().Ok());
  }
  // One plane has no step: a division by zero.
  set.NumPlanes = 1;
  EXPECT_EQ(Step().Reason(), "1 plane gives no step: the ends need at least 2 planes");
  Ends(-1e308, 1e308);  // the height itself overflows
  set.NumPlanes = 3;
  EXPECT_EQ(Step().Reason(), "the stack height is beyond the number range");
}

TEST_F(PlanTest, PlanesFromStepRoundsHalfToEven) {
  struct Case {
    double height, step;
    int32_t planes;
  };
  for (Case c : {Case{100, 10, 11}, Case{100, 30, 4}, Case{100, 40, 4}, Case{100, 250, 1},
                 Case{15, 10, 2}, Case{35, 10, 4}, Case{100, 77777, 1}}) {
    Ends(-20, -20 + c.height);
    set.StepSize = c.step;
    EXPECT_EQ(Planes().Value(), c.planes) << c.height << "/" << c.step;
  }
}

TEST_F(PlanTest, PlanesFromStepRefusesAnUnusablePlanOrACountBeyond32Bits) {
  set.StepSize = 10;
  EXPECT_FALSE(Planes().Ok());  // no ends
  Ends(5, 5);
  EXPECT_FALSE(Planes().Ok());
  Ends(0, 100);
  for (double s : {0.0, -10.0}) {
    set.StepSize = s;
    EXPECT_EQ(Planes().Reason(), "a step of " + r.num.Format2(s) + " is not above 0");
  }
  set.StepSize = 1e-6;  // 10^8 + 1 planes: fits 32 bits
  EXPECT_EQ(Planes().Value(), 100000001);
  const std::string tooMany = " gives more planes than a count can hold (2147483647)";
  set.StepSize = 1e-8;  // 10^10 planes: beyond 32 bits
  EXPECT_EQ(Planes().Reason(), "a step of 0.00" + tooMany);
  set.StepSize = 1e-310;  // the quotient overflows
  EXPECT_EQ(Planes().Reason(), "a step of 0.00" + tooMany);
  Ends(-1e308, 1e308);  // the height itself overflows
  set.StepSize = 1e300;
  EXPECT_EQ(Planes().Reason(), "the stack height is beyond the number range");
}

TEST_F(PlanTest, PrepareStackRefusesAnIncompletePlanWithoutReadingTheWindow) {
  Timings("1", "1", "1");
  EXPECT_FALSE(r.Prepare().Ok());
  Ends(10, 110);
  EXPECT_FALSE(r.Prepare().Ok());  // step and count not set
  set.StepSize = 25;
  EXPECT_FALSE(r.Prepare().Ok());  // count not set
  set.NumPlanes = 0;
  EXPECT_FALSE(r.Prepare().Ok());
  set.NumPlanes = 5;
  set.StepSize = 77777;  // a step of exactly the sentinel reads as not set
  EXPECT_FALSE(r.Prepare().Ok());
  set.StepSize = 0;
  EXPECT_FALSE(r.Prepare().Ok());
  set.StepSize = 25;
  set.ZBottom = 10;
  EXPECT_FALSE(r.Prepare().Ok());  // equal ends
  EXPECT_EQ(r.w.reads, 0);
  EXPECT_TRUE(r.w.statusHistory.empty());
  EXPECT_EQ(set.SettleDelay, 1.0);
}

TEST_F(PlanTest, PrepareStackOrdersTheEndsAndShowsThem) {
  Ends(110, 10);
  set.StepSize = 25;
  set.NumPlanes = 5;
  Timings("2.5", " 0.5 ", "-1");
  EXPECT_TRUE(r.Prepare().Ok());
  EXPECT_EQ(set.ZTop, 10.0);
  EXPECT_EQ(set.ZBottom, 110.0);
  EXPECT_EQ(r.w.texts[Control::lblTop], "10.00");
  EXPECT_EQ(r.w.texts[Control::lblBot], "110.00");
  EXPECT_EQ(r.w.Status(), "ZTop= 10.00, ZBottom= 110.00, ZHeight= 100.00");
  EXPECT_EQ(set.CaptureDelay, 2.5);
  EXPECT_EQ(set.SettleDelay, 0.5);
  EXPECT_EQ(set.Period, -1.0);
  // Already in order: no exchange, nothing shown.
  EXPECT_TRUE(r.Prepare().Ok());
  EXPECT_EQ(r.w.statusHistory.size(), 1u);
  EXPECT_LT(set.ZTop, set.ZBottom);
}

TEST_F(PlanTest, PrepareStackKeepsTimingsReadBeforeABadBox) {
  Ends(10, 110);
  set.StepSize = 25;
  set.NumPlanes = 5;
  Timings("3", "abc", "4");
  EXPECT_FALSE(r.Prepare().Ok());
  EXPECT_EQ(set.CaptureDelay, 3.0);
  EXPECT_EQ(set.SettleDelay, 1.0);
  EXPECT_EQ(set.Period, 0.0);
  Timings("", "5", "6");
  EXPECT_FALSE(r.Prepare().Ok());
  EXPECT_EQ(set.CaptureDelay, 3.0);
  Timings("1", "1", "1e999");  // beyond the Double range
  EXPECT_FALSE(r.Prepare().Ok());
  EXPECT_EQ(set.SettleDelay, 1.0);
  EXPECT_EQ(set.Period, 0.0);
  // A box that cannot be read counts as a bad box too.
  r.w.onGetText = [](Control c) {
    if (c == Control::txtPeriod)
      throw PlatformError("control gone");
  };
  Timings("7", "8", "9");
  EXPECT_FALSE(r.Prepare().Ok());
  EXPECT_EQ(set.SettleDelay, 8.0);
  EXPECT_EQ(set.Period, 0.0);
}

TEST(PlanRegional, TimingsUseTheRegionalSeparator) {
  AcqRig r(",");
  r.set.ZTop = 1;
  r.set.ZBottom = 2.5;
  r.set.StepSize = 0.5;
  r.set.NumPlanes = 4;
  r.w.texts[Control::txtDelay] = "1,5";
  r.w.texts[Control::txtSettle] = "0,25";
  r.w.texts[Control::txtPeriod] = "0";
  EXPECT_TRUE(r.Prepare().Ok());
  EXPECT_EQ(r.set.CaptureDelay, 1.5);
  EXPECT_EQ(r.set.SettleDelay, 0.25);
  r.ShowPlan();
  EXPECT_EQ(r.w.Status(), "ZTop= 1,00, ZBottom= 2,50, ZHeight= 1,50");
}

TEST_F(PlanTest, ShowPlanShowsOnlyWhatIsSetButAlwaysTheSummary) {
  r.w.texts[Control::txtStepSize] = "typed";
  r.w.texts[Control::txtNumPlanes] = "typed";
  set.ZTop = 12.5;
  r.ShowPlan();
  EXPECT_EQ(r.w.Status(), "ZTop= 12.50, ZBottom= 77777.00, ZHeight= 77764.50");
  EXPECT_EQ(r.w.texts[Control::lblTop], "12.50");
  EXPECT_EQ(r.w.texts.count(Control::lblBot), 0u);
  EXPECT_EQ(r.w.texts[Control::txtStepSize], "typed");
  EXPECT_EQ(r.w.texts[Control::txtNumPlanes], "typed");

  set.ZBottom = -7.125;
  set.StepSize = 0.1234;
  set.NumPlanes = 12;
  r.ShowPlan();
  EXPECT_EQ(r.w.texts[Control::lblBot], "-7.13");
  EXPECT_EQ(r.w.texts[Control::txtStepSize], "0.12");
  EXPECT_EQ(set.StepSize, 0.1234);
  EXPECT_EQ(r.w.texts[Control::txtNumPlanes], "12");
  EXPECT_EQ(r.w.Status(), "ZTop= 12.50, ZBottom= -7.13, ZHeight= 19.63");

  set.NumPlanes = NotSet;  // a derived count of exactly the sentinel is not shown
  set.StepSize = 77777;
  r.w.texts[Control::txtNumPlanes] = "keep";
  r.w.texts[Control::txtStepSize] = "keep";
  r.ShowPlan();
  EXPECT_EQ(r.w.texts[Control::txtNumPlanes], "keep");
  EXPECT_EQ(r.w.texts[Control::txtStepSize], "keep");
}

TEST_F(PlanTest, ShowPlanFailsOnAnOverflowingHeightWithoutChangingTheWindow) {
  Ends(-1e308, 1e308);
  EXPECT_THROW(r.ShowPlan(), ArithmeticError);
  EXPECT_TRUE(r.w.texts.empty());
  // The run's validation shows the plan when it orders the ends, and fails the same way.
  Ends(1e308, -1e308);
  set.StepSize = 1;
  set.NumPlanes = 2;
  EXPECT_THROW(r.Prepare(), ArithmeticError);
}

}  // namespace
}  // namespace focura
