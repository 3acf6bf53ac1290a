#pragma once

namespace focura {

// The system's power management as a run needs it: a run waits by polling, sends no input in a
// hardware-trigger run, and may last hours, none of which the system counts as activity. The run
// holds the request from its start to every one of its exits. Implementations must not throw.
class StayAwake {
 public:
  virtual ~StayAwake() = default;
  // Keep the system out of sleep; with `displayToo`, keep the display on as well.
  virtual void Hold(bool displayToo) = 0;
  // The system may sleep (and the display go off) on its own timers again.
  virtual void Release() = 0;
};

// For a tool that never asks: does nothing.
class NoStayAwake final : public StayAwake {
 public:
  void Hold(bool) override {}
  void Release() override {}
};

}  // namespace focura
