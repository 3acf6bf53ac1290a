#pragma once
// The stay-awake request as Windows takes it: a state of the calling thread, so it must be held
// and released on the thread that runs the stack (the window's).

#include "acq/StayAwake.h"

namespace focura::win32 {

class ExecutionStateAwake final : public StayAwake {
 public:
  void Hold(bool displayToo) override;
  void Release() override;
};

}  // namespace focura::win32
