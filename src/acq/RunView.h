#pragma once

#include <string>

#include "capture/FrameTrigger.h"

namespace focura {

// The window as the plan and the run see it: the status line, the boxes of the plan and the
// timings (by control name, as TimingBoxes lists them), and the point where the window's pending
// events run.
class RunView : public StatusReport {
 public:
  virtual std::string BoxText(const std::string& box) = 0;
  virtual void ShowInBox(const std::string& box, const std::string& text) = 0;
  // Lets the window's pending events run once; their handlers may nest inside the caller.
  // Throws WindowClosed when the window was closed meanwhile.
  virtual void Pump() = 0;
};

}  // namespace focura
