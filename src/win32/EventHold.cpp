#include "win32/EventHold.h"

namespace focura::win32 {
namespace {

thread_local int tHolds = 0;
thread_local std::function<void()> tReleased;

}  // namespace

EventHold::EventHold() {
  ++tHolds;
}

EventHold::~EventHold() {
  if (--tHolds == 0 && tReleased) {
    try {
      tReleased();
    } catch (...) {
      // The hook only posts a message; nothing it can fail at may escape a destructor.
    }
  }
}

bool EventsHeld() {
  return tHolds > 0;
}

std::function<void()> SetEventsReleasedHook(std::function<void()> hook) {
  std::function<void()> previous = std::move(tReleased);
  tReleased = std::move(hook);
  return previous;
}

}  // namespace focura::win32
