#pragma once
// Time as the simulator sees it: the 32-bit millisecond counter plus a wait hook. "Z Wait" calls
// Sleep until the move has ended, so a fake clock can advance instantly while a real host sleeps
// (and lets other threads at the simulator meanwhile).

#include <cstdint>

#include "wait/Clock.h"

namespace zsim {

class SimClock : public focura::Clock {
 public:
  // Gives up the caller for about `ms` milliseconds; may return early.
  virtual void Sleep(uint32_t ms) = 0;
};

}  // namespace zsim
