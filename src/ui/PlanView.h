#pragma once
// The plan in the window: its boxes and summary, the three timing boxes a run reads, and the run
// button's way from the window to the run.

#include <cstdint>
#include <span>

#include "acq/AcqSettings.h"
#include "acq/StackPlan.h"
#include "acq/ZAcq.h"
#include "text/NumberText.h"
#include "ui/Window.h"

namespace focura {

// Shows the ends, the count and the step that are set, and the summary in the status line. An
// overflowing height throws ArithmeticError before anything is shown.
void ShowPlan(const AcqSettings& settings, Window& window, const NumberText& num);

// A timing box: the control, its label in the window and the setting it fills.
struct TimingBox {
  Control control;
  const char* label;
  double AcqSettings::*field;
};
// In the order the run reads them, which is also the window's.
std::span<const TimingBox> TimingBoxes();

// The plan valid (RunPlanRefusal), the ends ordered (ZTop < ZBottom, shown when exchanged) and
// the timings read from their boxes; the refusal names the box or the plan's fault. Each timing
// is stored right after its own conversion.
PlanCheck PrepareStack(AcqSettings& settings, Window& window, const NumberText& num);

// "Acquire Z Stack": the plan checked and the timings read from the window, then the run of
// `acq`. 1 finished, -1 refused, cancelled or failed, 0 another run is in progress.
int16_t AcquireStack(ZAcq& acq, Window& window);

}  // namespace focura
