#pragma once

#include "acq/ZAcq.h"

namespace focura {

// The handlers of the run's buttons: "Acquire Z Stack", "Cancel Z Stack" and "Capture".
class RunCommands {
 public:
  explicit RunCommands(ZAcq& acq) : acq_(acq) {}
  void cmdFocura_Click() { acq_.AcquireStack(); }
  void cmdCancelZ_Click() { acq_.Run.RequestCancel(); }
  void cmdCapture_Click() { acq_.CaptureFrame(); }

 private:
  ZAcq& acq_;
};

}  // namespace focura
