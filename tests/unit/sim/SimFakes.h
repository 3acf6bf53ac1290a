#pragma once

#include <cstdint>

#include "sim/core/SimClock.h"

namespace zsim::testing {

// Stands still until the simulator sleeps or a test advances it: every wait is instant and the
// time it covered is exactly what the simulator asked for.
class StepClock : public SimClock {
 public:
  explicit StepClock(uint32_t start = 5000) : now(start) {}
  uint32_t NowMs() override { return now; }
  void Sleep(uint32_t ms) override {
    ++sleeps;
    now += ms;
  }
  void Advance(uint32_t ms) { now += ms; }

  uint32_t now;
  int sleeps = 0;
};

}  // namespace zsim::testing
