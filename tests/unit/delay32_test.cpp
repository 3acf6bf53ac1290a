#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "fakes/Fakes.h"
#include "wait/Delay32.h"

namespace focura {
namespace {

using fakes::FakeClock;

// The reading that ended the wait, minus the first one.
uint32_t Waited(FakeClock& clock, int32_t ms) {
  const uint32_t start = clock.now;
  Delay32(clock).WaitMs(ms);
  return clock.now - clock.step - start;
}

TEST(WaitMs, LastsStrictlyLongerThanAsked) {
  FakeClock clock(1000, 1);
  EXPECT_EQ(Waited(clock, 500), 501u);
  EXPECT_EQ(Waited(clock, 0), 1u);  // until the counter has advanced once
  FakeClock coarse(1000, 10);       // a counter that moves in 10 ms steps
  EXPECT_EQ(Waited(coarse, 25), 30u);
  EXPECT_EQ(Waited(coarse, 30), 40u);
}

TEST(WaitMs, NegativeReturnsAfterTheFirstReRead) {
  for (int32_t ms : {-1, -500, INT32_MIN}) {
    FakeClock clock(1000, 1);
    Delay32(clock).WaitMs(ms);
    EXPECT_EQ(clock.reads, 2) << ms;
  }
}

TEST(WaitMs, CorrectAcrossTheMiddleOfTheRangeAndTheWrap) {
  for (uint32_t start : {0x7FFFFFFFu - 100u, 0x7FFFFFFFu, 0xFFFFFFFFu - 100u, 0xFFFFFFFFu}) {
    FakeClock clock(start, 1);
    EXPECT_EQ(Waited(clock, 500), 501u) << start;
    FakeClock coarse(start, 7);
    EXPECT_EQ(Waited(coarse, 100), 105u) << start;
  }
}

TEST(WaitMs, LongestWaitIsNotCutShortBySignedOverflow) {
  // Readings 2^30 apart: the second one is 2^31 after the first, beyond INT32_MAX.
  FakeClock clock(0xFFFFFFF0u, 0x40000000u);
  Delay32(clock).WaitMs(INT32_MAX);
  EXPECT_EQ(clock.reads, 3);
}

TEST(Elapsed, IsTheModuloDifference) {
  EXPECT_EQ(Delay32::Elapsed(0x7FFFFFFFu, 0x80000000u), 1u);
  EXPECT_EQ(Delay32::Elapsed(0xFFFFFFFFu, 0u), 1u);
  EXPECT_EQ(Delay32::Elapsed(0xFFFFFF00u, 0x100u), 0x200u);
}

}  // namespace
}  // namespace focura
