#pragma once
// Waiting on observable state: poll a condition until it holds or a deadline passes. Nothing in
// the suite sleeps for a fixed time in place of such a condition.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace focura::desktop {

inline constexpr unsigned kPollMs = 5;

// True as soon as `condition()` holds; false when `ms` have passed without it.
template <typename Condition>
bool WaitUntil(Condition&& condition, unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  for (;;) {
    if (condition())
      return true;
    if (GetTickCount64() >= end)
      return condition();
    Sleep(kPollMs);
  }
}

}  // namespace focura::desktop
