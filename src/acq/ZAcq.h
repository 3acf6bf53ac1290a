#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "acq/AcqSettings.h"
#include "acq/RunView.h"
#include "acq/StackPlan.h"
#include "acq/StackRun.h"
#include "text/NumberText.h"

namespace focura {

// The settings and the run of one window.
class ZAcq : public AcqSettings {
 public:
  ZAcq(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop, const NumberText& num);
  ZAcq(const ZAcq&) = delete;
  ZAcq& operator=(const ZAcq&) = delete;

  // Settings as the window's load leaves them.
  void LoadDefaults();

  // The plan valid (RunPlanRefusal), the ends ordered (ZTop < ZBottom) and the timings read from
  // the window; the refusal names the box or the plan's fault.
  PlanCheck PrepareStack();
  // Shows the plan in the window and its summary in the status line.
  void ShowPlan();

  // The run of the plan as it stands, its timings read from the window first. 1 finished, -1
  // refused, cancelled or failed, 0 another run is in progress.
  int16_t AcquireStack();
  // One frame with the capture settings as they stand.
  void CaptureFrame() { Run.CaptureFrame(Frame); }

  void ReportProgressTo(RunProgress& progress) { Run.ReportProgressTo(progress); }
  void KeepAwakeWith(StayAwake& awake) { Run.KeepAwakeWith(awake); }

  StackRun Run;
  const NumberText& Num;
  // The run's, here for the shell that sets them.
  std::string& StandInNote = Run.StandInNote;
  std::function<double()>& SimulatorSpeed = Run.SimulatorSpeed;

 private:
  RunView& View;
};

}  // namespace focura
