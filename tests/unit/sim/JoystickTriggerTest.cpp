#include <gtest/gtest.h>

#include "sim/SimFakes.h"
#include "sim/core/SimError.h"
#include "sim/core/Simulator.h"

namespace zsim {
namespace {

struct Sim {
  Sim() : sim(clock, focura::NumberText(",")) {}
  testing::StepClock clock;
  Simulator sim;
};

TEST(SimJoystick, IsRefusedUntilSwitchedOn) {
  Sim s;
  EXPECT_THROW(s.sim.Exec("Sim Jog 10"), SimError);
  EXPECT_THROW(s.sim.Exec("Sim Store"), SimError);
  EXPECT_EQ(s.sim.Exec("Obj GetNum"), "0 positions");
  s.sim.Exec("Joy On");
  EXPECT_EQ(s.sim.Exec("Sim Jog 10"), "OK");
  s.sim.Exec("Joy Off");
  EXPECT_THROW(s.sim.Exec("Sim Store"), SimError);
}

TEST(SimJoystick, JogsMoveInTimeAndStoreAppendsWhereTheAxisIs) {
  Sim s;
  s.sim.Exec("Joy On");
  s.sim.Exec("Sim Jog 100,5");
  s.clock.Advance(50);
  EXPECT_EQ(s.sim.Exec("Sim Store"), "Obj 1 50,0000");  // stored mid-jog
  s.sim.Exec("Z Wait");
  EXPECT_EQ(s.sim.Exec("Sim Store"), "Obj 2 100,5000");
  s.sim.Exec("Sim Jog -0,5 ; Z Wait ; Sim Store");
  EXPECT_EQ(s.sim.Exec("Obj GetNum"), "3 positions");
  EXPECT_EQ(s.sim.Exec("Obj Get 2"), "Obj 2 100,5000");
  EXPECT_EQ(s.sim.Exec("Obj Get 3"), "Obj 3 100,0000");
  EXPECT_EQ(s.sim.Snapshot().stored, (std::vector<double>{50.0, 100.5, 100.0}));
}

TEST(SimJoystick, StopsAtASoftLimit) {
  Sim s;
  s.sim.Exec("Joy On ; Sim Limits -20 20");
  s.sim.Exec("Sim Jog 15 ; Z Wait ; Sim Jog 15 ; Z Wait");
  EXPECT_EQ(s.sim.Exec("Z ?"), "20,0000 um");
  s.sim.Exec("Sim Jog -100 ; Z Wait");
  EXPECT_EQ(s.sim.Exec("Z ?"), "-20,0000 um");
}

TEST(SimTrigger, RecordsEveryPulseWithItsLength) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Sim Pulses"), "0 pulses");
  s.sim.Exec("CON /2J1R");
  EXPECT_TRUE(s.sim.Snapshot().trigger);
  s.clock.Advance(500);
  s.sim.Exec("CON /2J1R");  // already on: the pulse keeps its start
  s.clock.Advance(3);
  s.sim.Exec("CON /2J0R");
  EXPECT_FALSE(s.sim.Snapshot().trigger);
  s.clock.Advance(1000);
  s.sim.Exec("CON /2J0R");  // already off: no pulse
  s.sim.Exec("CON /2J1R");
  s.clock.Advance(501);
  s.sim.Exec("CON /2J0R");
  EXPECT_EQ(s.sim.Exec("Sim Pulses"), "2 pulses 503 501");
  EXPECT_EQ(s.sim.Snapshot().pulsesMs, (std::vector<uint32_t>{503, 501}));
}

}  // namespace
}  // namespace zsim
