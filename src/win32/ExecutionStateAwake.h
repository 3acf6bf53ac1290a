#pragma once
// The stay-awake request as Windows takes it. The thread's execution state keeps the system out
// of sleep and the display on, but not the screen saver or the idle lock off; a power request
// does that too (short of a lock enforced by policy). Both are held: the execution state is a
// state of the calling thread, so the request is held and released on the thread that runs the
// stack (the window's).

#include <windows.h>

#include "acq/StayAwake.h"
#include "win32/Owned.h"

namespace focura::win32 {

class ExecutionStateAwake final : public StayAwake {
 public:
  ExecutionStateAwake() = default;
  ~ExecutionStateAwake() override;
  ExecutionStateAwake(const ExecutionStateAwake&) = delete;
  ExecutionStateAwake& operator=(const ExecutionStateAwake&) = delete;

  void Hold(bool displayToo) override;
  void Release() override;

  // What the power request holds now, as the system accepted it.
  bool HoldsSystem() const { return system_; }
  bool HoldsDisplay() const { return display_; }

 private:
  void Set(POWER_REQUEST_TYPE type, bool on, bool& held);

  UniqueHandle request_;
  bool system_ = false;
  bool display_ = false;
};

}  // namespace focura::win32
