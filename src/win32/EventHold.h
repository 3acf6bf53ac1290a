#pragma once
// While the UI thread waits inside somebody else's message loop (an outgoing COM call, a modal
// prompt), window events must not start handlers: COM's modal loop dispatches posted and sent
// messages, so a click queued by another program would otherwise run a handler in the middle of
// an Exec. The window defers such events while a hold is in place and replays them afterwards.

#include <functional>

namespace focura::win32 {

// Holds window events on this thread for its lifetime; holds nest.
class EventHold {
 public:
  EventHold();
  ~EventHold();
  EventHold(const EventHold&) = delete;
  EventHold& operator=(const EventHold&) = delete;
};

bool EventsHeld();

// Called on this thread each time the outermost hold ends. Returns the previous hook.
std::function<void()> SetEventsReleasedHook(std::function<void()> hook);

}  // namespace focura::win32
