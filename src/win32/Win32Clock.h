#pragma once
// The system millisecond counter. The clock asks Windows for 1 ms timer resolution for as long
// as it lives, so that the counter steps by 1 ms as the waits of a run need.

#include "wait/Clock.h"

namespace focura::win32 {

class Win32Clock : public Clock {
 public:
  Win32Clock();
  ~Win32Clock() override;
  Win32Clock(const Win32Clock&) = delete;
  Win32Clock& operator=(const Win32Clock&) = delete;

  uint32_t NowMs() override;

 private:
  bool periodSet_ = false;
};

}  // namespace focura::win32
