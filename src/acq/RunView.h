#pragma once

#include <string>

#include "capture/FrameTrigger.h"

namespace focura {

// The window as the run sees it: the status line, and the point where the window's pending events
// run.
class RunView : public StatusReport {
 public:
  // Lets the window's pending events run once; their handlers may nest inside the caller.
  // Throws WindowClosed when the window was closed meanwhile.
  virtual void Pump() = 0;
};

}  // namespace focura
