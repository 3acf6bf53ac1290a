#pragma once

#include <cstdint>

namespace focura {

// The system millisecond counter: milliseconds since the system started, 32 bits, wrapping.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t NowMs() = 0;
};

}  // namespace focura
