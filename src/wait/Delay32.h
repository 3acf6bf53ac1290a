#pragma once

#include <cstdint>

#include "wait/Clock.h"

namespace focura {

// The one way the tool waits: busy polling of the millisecond counter, no sleep, no event
// dispatch, so a delay is met to the counter's resolution.
class Delay32 {
 public:
  explicit Delay32(Clock& clock) : clock_(clock) {}

  // Returns once more than `ms` counter milliseconds have passed (a negative ms returns after
  // the first re-read of the counter).
  void WaitMs(int32_t ms);

  uint32_t Now() { return clock_.NowMs(); }

  // Milliseconds from `from` to `to`, correct across the middle of the range and the wrap.
  static uint32_t Elapsed(uint32_t from, uint32_t to) { return to - from; }

 private:
  Clock& clock_;
};

}  // namespace focura
