#include "ui/PlanView.h"

#include <string>
#include <utility>

#include "acq/Refusals.h"
#include "text/Errors.h"

namespace focura {

void ShowPlan(const AcqSettings& s, Window& window, const NumberText& num) {
  // The height is computed first so that an overflow leaves the window as it was.
  const double height = StackHeight(s.ZTop, s.ZBottom);
  if (s.ZTop != NotSetD)
    window.SetText(Control::lblTop, num.Format2(s.ZTop));
  if (s.ZBottom != NotSetD)
    window.SetText(Control::lblBot, num.Format2(s.ZBottom));
  if (s.NumPlanes != NotSet)
    window.SetText(Control::txtNumPlanes, num.Format0(s.NumPlanes));
  if (s.StepSize != NotSetD)
    window.SetText(Control::txtStepSize, num.Format2(s.StepSize));
  window.SetText(kStatusLine, "ZTop= " + num.Format2(s.ZTop) + ", ZBottom= " +
                                  num.Format2(s.ZBottom) + ", ZHeight= " + num.Format2(height));
}

std::span<const TimingBox> TimingBoxes() {
  static constexpr TimingBox kBoxes[] = {
      {Control::txtDelay, "Capture Delay (sec.)", &AcqSettings::CaptureDelay},
      {Control::txtSettle, "Settle Delay (sec.)", &AcqSettings::SettleDelay},
      {Control::txtPeriod, "Period (sec.)", &AcqSettings::Period},
  };
  return kBoxes;
}

PlanCheck PrepareStack(AcqSettings& s, Window& window, const NumberText& num) {
  if (const std::string refusal = RunPlanRefusal(s, num); !refusal.empty())
    return Refused{"Acquire Z Stack: " + refusal};

  if (s.ZTop > s.ZBottom) {
    std::swap(s.ZTop, s.ZBottom);
    ShowPlan(s, window, num);
  }

  // A bad box leaves the timings before it updated and the rest as they were.
  for (const TimingBox& box : TimingBoxes()) {
    std::string text;
    try {
      text = window.GetText(box.control);
      s.*box.field = num.ToDouble(text);
    } catch (const ConversionError&) {
      return Refused{BoxRefusal(num, box.label, text, NumberKind::Real)};
    } catch (const FocuraError& e) {
      return Refused{std::string(box.label) + ": " + e.what()};
    }
  }
  return Accepted{};
}

int16_t AcquireStack(ZAcq& acq, Window& window) {
  if (acq.Run.Running())
    return 0;
  std::string refusal;
  try {
    refusal = PrepareStack(acq.Settings, window, acq.Run.Num).Reason();
  } catch (const FocuraError& e) {
    refusal = std::string("Acquire Z Stack: ") + e.what();  // ends too far apart to show
  }
  if (!refusal.empty()) {
    window.SetText(kStatusLine, "Error");
    window.SetTip(kStatusLine, refusal);
    return -1;
  }
  return acq.Run.Acquire(acq.Settings);
}

}  // namespace focura
