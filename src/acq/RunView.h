#pragma once

#include <string>

#include "acq/RunBox.h"
#include "capture/FrameTrigger.h"

namespace focura {

// The window as the plan and the run see it: the status line, the boxes of the plan and the
// timings, and the point where the window's pending events run.
class RunView : public StatusReport {
 public:
  virtual std::string BoxText(RunBox box) = 0;
  virtual void ShowInBox(RunBox box, const std::string& text) = 0;
  // Lets the window's pending events run once; their handlers may nest inside the caller.
  // Throws WindowClosed when the window was closed meanwhile.
  virtual void Pump() = 0;
};

}  // namespace focura
