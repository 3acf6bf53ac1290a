#include <gtest/gtest.h>

#include <cmath>

#include "sim/SimFakes.h"
#include "sim/core/SimError.h"
#include "sim/core/Simulator.h"

namespace zsim {
namespace {

struct Sim {
  explicit Sim(uint32_t start = 5000) : clock(start), sim(clock, focura::NumberText(".")) {}
  testing::StepClock clock;
  Simulator sim;
  uint32_t LastDuration() {
    const auto e = sim.Snapshot().recent.back();
    return e.completedMs - e.receivedMs;
  }
};

TEST(SimMotion, ZWaitLastsDistanceOverSpeed) {
  Sim s;
  s.sim.Exec("Z 500 ; Z Wait ;");
  EXPECT_EQ(s.LastDuration(), 500u);  // 500 um at the default 1000 um/s
  s.sim.Exec("Sim Speed 250");
  s.sim.Exec("Z Rel -100 ; Z Wait ;");
  EXPECT_EQ(s.LastDuration(), 400u);
  EXPECT_EQ(s.sim.Exec("Z ?"), "400.0000 um");
  s.sim.Exec("Z Rel 0,0 ; Z Wait");  // not understood: no wait
  s.sim.Exec("Z 400 ; Z Wait");      // already there
  EXPECT_EQ(s.LastDuration(), 0u);
}

TEST(SimMotion, APartialMillisecondIsWaitedOut) {
  Sim s;
  s.sim.Exec("Z 2.5 ; Z Wait");
  EXPECT_EQ(s.LastDuration(), 3u);
  EXPECT_EQ(s.sim.Exec("Z ?"), "2.5000 um");
}

TEST(SimMotion, AMoveWithoutWaitContinuesAndIsReportedWhereItIs) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Z 1000"), "OK");
  EXPECT_EQ(s.LastDuration(), 0u);
  s.clock.Advance(250);
  EXPECT_EQ(s.sim.Exec("Z ?"), "250.0000 um");
  EXPECT_TRUE(s.sim.Snapshot().moving);
  // A relative step during the move adds to where the axis is heading.
  s.sim.Exec("Z Rel -500");
  s.clock.Advance(100);
  EXPECT_EQ(s.sim.Exec("Z ?"), "350.0000 um");
  s.sim.Exec("Z Wait");
  EXPECT_EQ(s.LastDuration(), 150u);
  EXPECT_EQ(s.sim.Exec("Z ?"), "500.0000 um");
  EXPECT_FALSE(s.sim.Snapshot().moving);
}

TEST(SimMotion, ChangingSpeedMidMoveKeepsThePositionReached) {
  Sim s;
  s.sim.Exec("Z -1000");
  s.clock.Advance(500);
  s.sim.Exec("Sim Speed 100");
  EXPECT_EQ(s.sim.Exec("Z ?"), "-500.0000 um");
  s.sim.Exec("Z Wait");
  EXPECT_EQ(s.LastDuration(), 5000u);
  EXPECT_THROW(s.sim.Exec("Sim Speed 0"), SimError);
  EXPECT_THROW(s.sim.Exec("Sim Speed -3"), SimError);
}

TEST(SimMotion, TimeIsMeasuredAcrossTheCounterWrap) {
  Sim s(0xFFFFFF00u);
  s.sim.Exec("Z 1000");
  s.clock.Advance(0x200);  // the counter wraps during the move
  EXPECT_EQ(s.sim.Exec("Z ?"), "512.0000 um");
  s.sim.Exec("Z Wait");
  EXPECT_EQ(s.LastDuration(), 488u);
  // Long after the move ended the counter comes round again: the axis must not start moving.
  s.clock.Advance(0xFFFFFF00u);
  EXPECT_EQ(s.sim.Exec("Z ?"), "1000.0000 um");
}

TEST(SimMotion, SoftLimitsRefuseMovesBeyondThemWithoutMotion) {
  Sim s;
  s.sim.Exec("Z 24000 ; Z Wait");
  try {
    s.sim.Exec("Z Rel 1001 ; Z Wait ;");
    FAIL() << "move beyond the limit accepted";
  } catch (const SimError& e) {
    EXPECT_STREQ(e.what(), "Z 25001.0000 is outside the soft limits -25000.0000 to 25000.0000 um");
  }
  EXPECT_FALSE(s.sim.Snapshot().moving);
  EXPECT_EQ(s.sim.Exec("Z ?"), "24000.0000 um");
  EXPECT_EQ(s.sim.Exec("Z 25000 ; Z Wait ; Z ?"), "OK ; OK ; 25000.0000 um");  // edge allowed

  s.sim.Exec("Sim Limits -10 10");
  EXPECT_THROW(s.sim.Exec("Z -10.0001"), SimError);
  EXPECT_EQ(s.sim.Exec("Z -10 ; Z Wait ; Z ?"), "OK ; OK ; -10.0000 um");
  EXPECT_THROW(s.sim.Exec("Sim Limits 5 5"), SimError);
  EXPECT_THROW(s.sim.Exec("Sim Limits 5 -5"), SimError);
}

// Every move must fit the wrapping millisecond counter and the position must stay a number.
TEST(SimMotion, SpeedsAndLimitsOutsideSaneRangesAreRefused) {
  Sim s;
  for (const char* bad : {"Sim Speed 0.0001", "Sim Speed 1e308", "Sim Limits -1e308 1e308",
                          "Sim Limits 0 1000001", "Sim Limits -1000001 0"}) {
    EXPECT_THROW(s.sim.Exec(bad), SimError) << bad;
  }
  EXPECT_EQ(s.sim.Exec("Sim State"),
            "Z 0.0000 idle target 0.0000 speed 1000.0000 limits -25000.0000 25000.0000 joy off "
            "trigger off stored 0 pulses 0 window hidden");
  EXPECT_THROW(s.sim.Exec("Z 1e308 ; Z Wait"), SimError);

  // The slowest speed across the widest limits still ends within the counter's range.
  s.sim.Exec("Sim Limits -1000000 1000000 ; Sim Speed 1 ; Z 1000000 ; Z Wait");
  EXPECT_EQ(s.sim.Exec("Z -1000000 ; Z Wait ; Z ?"), "OK ; OK ; -1000000.0000 um");
  EXPECT_EQ(s.LastDuration(), 2000000000u);
  EXPECT_FALSE(s.sim.Snapshot().moving);
}

TEST(SimAxis, AMoveNeverOutlastsHalfTheCounterRange) {
  Axis axis(0.0, 1e-4);
  axis.MoveTo(25000.0, 7);
  EXPECT_LE(axis.RemainingMs(7), 0x7FFFFFFFu);
  axis.MoveTo(-1e308, 7);
  axis.MoveTo(1e308, 8);
  EXPECT_TRUE(std::isfinite(axis.Position(1000)));
  EXPECT_GT(axis.RemainingMs(8), 0u);
  EXPECT_LE(axis.RemainingMs(8), 0x7FFFFFFFu);
}

TEST(SimMotion, ACompoundCommandStopsAtTheFirstRefusal) {
  Sim s;
  EXPECT_THROW(s.sim.Exec("Z 100 ; Z Wait ; Z 99999 ; Z Wait"), SimError);
  EXPECT_EQ(s.sim.Exec("Z ?"), "100.0000 um");
}

TEST(SimMotion, ResetReturnsToTheStartingState) {
  Sim s;
  s.sim.Exec("Joy On ; Sim Speed 10 ; Sim Limits 0 50 ; Z 40 ; Sim Store ; CON /2J1R");
  s.sim.Exec("Sim Reset");
  const SimSnapshot snap = s.sim.Snapshot();
  EXPECT_EQ(snap.position, 0.0);
  EXPECT_FALSE(snap.moving);
  EXPECT_EQ(snap.speed, kDefaultSpeed);
  EXPECT_EQ(snap.limits.lo, -25000.0);
  EXPECT_FALSE(snap.joystick);
  EXPECT_FALSE(snap.trigger);
  EXPECT_TRUE(snap.stored.empty());
  EXPECT_EQ(s.sim.Exec("Sim State"),
            "Z 0.0000 idle target 0.0000 speed 1000.0000 limits -25000.0000 25000.0000 joy off "
            "trigger off stored 0 pulses 0 window hidden");
}

}  // namespace
}  // namespace zsim
