#include "acq/ZAcq.h"

#include <utility>

#include "acq/Refusals.h"
#include "text/Errors.h"

namespace focura {

ZAcq::ZAcq(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop, const NumberText& num)
    : Run(zserv, view, clock, desktop, num), Num(num), View(view) {}

void ZAcq::LoadDefaults() {
  ZTop = NotSetD;
  ZBottom = NotSetD;
  StepSize = NotSetD;
  NumPlanes = NotSet;
  CaptureDelay = 2.0;
  SettleDelay = 1.0;
  Period = 0.0;
  Frame.KeyDelayMs = 200;
  Frame.TriggerHoldMs = 500;
  Frame.FujiKey = 1;
}

int16_t ZAcq::AcquireStack() {
  if (Run.Running())
    return 0;
  std::string refusal;
  try {
    refusal = PrepareStack().Reason();
  } catch (const FocuraError& e) {
    refusal = std::string("Acquire Z Stack: ") + e.what();  // ends too far apart to show
  }
  if (!refusal.empty()) {
    View.Status("Error");
    View.StatusTip(refusal);
    return -1;
  }
  return Run.Acquire(*this);
}

PlanCheck ZAcq::PrepareStack() {
  if (const std::string refusal = RunPlanRefusal(*this, Num); !refusal.empty())
    return Refused{"Acquire Z Stack: " + refusal};

  if (ZTop > ZBottom) {
    std::swap(ZTop, ZBottom);
    ShowPlan();
  }

  // Each timing is stored right after its own conversion, so a bad box leaves the ones before it
  // updated and the rest as they were.
  for (const TimingBox& box : TimingBoxes()) {
    std::string text;
    try {
      text = View.BoxText(box.box);
      this->*box.field = Num.ToDouble(text);
    } catch (const ConversionError&) {
      return Refused{BoxRefusal(Num, box.label, text, NumberKind::Real)};
    } catch (const FocuraError& e) {
      return Refused{std::string(box.label) + ": " + e.what()};
    }
  }
  return Accepted{};
}

void ZAcq::ShowPlan() {
  // The height is computed first so that an overflow leaves the window as it was.
  const double height = StackHeight(ZTop, ZBottom);
  if (ZTop != NotSetD)
    View.ShowInBox(RunBox::Top, Num.Format2(ZTop));
  if (ZBottom != NotSetD)
    View.ShowInBox(RunBox::Bottom, Num.Format2(ZBottom));
  if (NumPlanes != NotSet)
    View.ShowInBox(RunBox::NumPlanes, Num.Format0(NumPlanes));
  if (StepSize != NotSetD)
    View.ShowInBox(RunBox::StepSize, Num.Format2(StepSize));
  View.Status("ZTop= " + Num.Format2(ZTop) + ", ZBottom= " + Num.Format2(ZBottom) +
              ", ZHeight= " + Num.Format2(height));
}

}  // namespace focura
