#include "ui/RunPlanTip.h"

#include <cstdio>
#include <vector>

#include "acq/Refusals.h"
#include "acq/RunEstimate.h"
#include "acq/StackPlan.h"
#include "capture/CaptureMethods.h"
#include "text/Errors.h"
#include "ui/PlanView.h"

namespace focura {

namespace {

std::string MovesText(const RunEstimate& e) {
  char text[120];
  switch (e.moves) {
    case MoveSource::SimulatorSpeed:
      std::snprintf(text, sizeof text, "moves of %.0f ms at the simulator's %.0f um/s", e.moveMs,
                    e.speed);
      return text;
    case MoveSource::LastRun:
      std::snprintf(text, sizeof text, "moves of %.0f ms as measured in the last run", e.moveMs);
      return text;
    case MoveSource::NotCounted:
      break;
  }
  return "moves not counted";
}

std::string CaptionOf(int16_t method) {
  const CaptureMethod* m = FindCaptureMethod(method);
  return m != nullptr ? std::string(m->caption) : "no method";
}

}  // namespace

std::string RunPlanTip(ZAcq& acq, Window& window) {
  std::vector<std::string> lines;
  std::string refusal = RunPlanRefusal(acq.Settings, acq.Num);
  double seconds[3] = {};
  if (refusal.empty()) {
    int i = 0;
    for (const TimingBox& box : TimingBoxes()) {
      const std::string text = window.GetText(box.control);
      try {
        seconds[i++] = acq.Num.ToDouble(text);
      } catch (const ConversionError&) {
        refusal = BoxRefusal(acq.Num, box.label, text, NumberKind::Real);
        break;
      }
    }
  } else {
    refusal = "Acquire Z Stack: " + refusal;
  }
  if (!refusal.empty()) {
    lines.push_back("Now a run would be refused with \"Error\": " + refusal);
  } else {
    const RunEstimate e = EstimateRun(acq.Settings, acq.Run, seconds[0], seconds[1], seconds[2]);
    lines.push_back(acq.Num.Format0(e.planes) + (e.planes == 1 ? " plane" : " planes") +
                    ", about " + LengthText(e.TotalMs()) + " (" + MovesText(e) + ")");
  }

  if (acq.Settings.Frame.CaptureTaskId == 0) {
    lines.push_back("Nothing is launched: the run will trigger no frame");
  } else if (acq.Settings.LaunchedType != 0 &&
             acq.Settings.LaunchedType != acq.Settings.Frame.CaptureType) {
    lines.push_back("Launched for " + CaptionOf(acq.Settings.LaunchedType) + ", but " +
                    CaptionOf(acq.Settings.Frame.CaptureType) + " is chosen now: " +
                    (acq.Settings.Frame.CaptureType == kCaptureHardware
                         ? "the frames will be trigger pulses, with no program taking them"
                         : "the frames will go to what was launched") +
                    "; launch again");
  }
  if (acq.Settings.Frame.CaptureTaskId != 0 && acq.Settings.Frame.CaptureType != kCaptureHardware) {
    if (const std::string why = KeylessReason(acq.Settings.Frame); !why.empty())
      lines.push_back("The run will send no key: " + why);
  }

  std::string tip;
  for (const std::string& line : lines)
    tip += (tip.empty() ? "" : "\n") + line;
  return tip;
}

}  // namespace focura
