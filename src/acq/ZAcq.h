#pragma once

#include <functional>
#include <string>

#include "acq/AcqSettings.h"
#include "acq/RunView.h"
#include "acq/StackRun.h"
#include "text/NumberText.h"

namespace focura {

// What one window acquires with: the operator's settings and the run that takes them. The plan's
// arithmetic is in StackPlan.h; the window shows the plan and reads the timings (ui/).
class ZAcq {
 public:
  ZAcq(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop, const NumberText& num)
      : Run(zserv, view, clock, desktop, num), Num(num) {}
  ZAcq(const ZAcq&) = delete;
  ZAcq& operator=(const ZAcq&) = delete;

  // Settings as the window's load leaves them.
  void LoadDefaults() { LoadDefaultSettings(Settings); }
  // One frame with the capture settings as they stand.
  void CaptureFrame() { Run.CaptureFrame(Settings.Frame); }

  // For the shell, which hands these to the run once the window is built.
  void ReportProgressTo(RunProgress& progress) { Run.ReportProgressTo(progress); }
  void KeepAwakeWith(StayAwake& awake) { Run.KeepAwakeWith(awake); }

  AcqSettings Settings;
  StackRun Run;
  const NumberText& Num;
};

}  // namespace focura
