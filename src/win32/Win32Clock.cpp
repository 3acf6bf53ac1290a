#include "win32/Win32Clock.h"

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

namespace focura::win32 {

Win32Clock::Win32Clock() : periodSet_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

Win32Clock::~Win32Clock() {
  if (periodSet_)
    timeEndPeriod(1);
}

uint32_t Win32Clock::NowMs() {
  return timeGetTime();
}

}  // namespace focura::win32
