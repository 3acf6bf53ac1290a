#pragma once

#include "acq/ZAcq.h"
#include "ui/PlanView.h"
#include "ui/Window.h"

namespace focura {

// The handlers of the run's buttons: "Acquire Z Stack", "Cancel Z Stack" and "Capture".
class RunCommands {
 public:
  RunCommands(ZAcq& acq, Window& window) : acq_(acq), window_(window) {}
  void cmdFocura_Click() { AcquireStack(acq_, window_); }
  void cmdCancelZ_Click() { acq_.Run.RequestCancel(); }
  void cmdCapture_Click() { acq_.CaptureFrame(); }

 private:
  ZAcq& acq_;
  Window& window_;
};

}  // namespace focura
