#include <cmath>
#include <utility>

#include "acq/Refusals.h"
#include "acq/ZAcq.h"
#include "text/Errors.h"

namespace focura {

namespace {

bool IsSet(double field) {
  return field != NotSetD;
}

// Extreme ends can make the difference overflow; an infinite height must never reach a display
// or a derived step.
double Height(double top, double bottom) {
  const double h = std::fabs(bottom - top);
  if (!std::isfinite(h)) {
    throw ArithmeticError("Overflow: the stack height is beyond the number range");
  }
  return h;
}

}  // namespace

// Why the ends cannot bound a stack, or "" when they can.
std::string ZAcq::EndsRefusal() const {
  if (!IsSet(ZTop) && !IsSet(ZBottom))
    return "neither end is set (Set Top and Set Bottom, or Get Joystick Top and Bottom)";
  if (!IsSet(ZTop))
    return "the top is not set (Set Top)";
  if (!IsSet(ZBottom))
    return "the bottom is not set (Set Bottom)";
  if (ZTop == ZBottom)
    return "top and bottom are both " + Num.Format2(ZTop) + ": the stack has no height";
  return "";
}

int16_t ZAcq::StepFromPlanes() {
  Refusal = EndsRefusal();
  if (!Refusal.empty())
    return -1;
  if (NumPlanes <= 0) {
    Refusal = Num.Format0(NumPlanes) + " planes: a stack needs at least 2";
    return -1;
  }
  if (NumPlanes == 1) {
    Refusal = "1 plane gives no step: the ends need at least 2 planes";
    throw ArithmeticError("Division by zero: a stack of one plane has no step");
  }
  StepSize = Height(ZTop, ZBottom) / static_cast<double>(NumPlanes - 1);
  return 1;
}

int16_t ZAcq::PlanesFromStep() {
  Refusal = EndsRefusal();
  if (!Refusal.empty())
    return -1;
  if (!(StepSize > 0)) {
    Refusal = "a step of " + Num.Format2(StepSize) + " is not above 0";
    return -1;
  }
  const double q = Height(ZTop, ZBottom) / StepSize + 1;
  if (!(q < 2147483647.5)) {
    Refusal = "a step of " + Num.Format2(StepSize) +
              " gives more planes than a count can hold (2147483647)";
  }
  if (!std::isfinite(q)) {
    throw ArithmeticError("Overflow: the number of planes is beyond the number range");
  }
  NumPlanes = RoundToInt32(q);  // throws beyond 32 bits, NumPlanes untouched
  return 1;
}

int16_t ZAcq::PrepareStack() {
  Refusal = RunPlanRefusal();
  if (!Refusal.empty()) {
    Refusal = "Acquire Z Stack: " + Refusal;
    return -1;
  }

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
      Refusal = BoxRefusal(Num, box.label, text, NumberKind::Real);
      return -1;
    } catch (const FocuraError& e) {
      Refusal = std::string(box.label) + ": " + e.what();
      return -1;
    }
  }
  return 1;
}

std::string ZAcq::RunPlanRefusal() const {
  std::string ends = EndsRefusal();
  if (!ends.empty())
    return ends;
  if (!IsSet(StepSize))
    return "the step is not set (Set Num. of Planes or Set Step Size)";
  if (!(StepSize > 0))
    return "a step of " + Num.Format2(StepSize) + " is not above 0";
  if (NumPlanes == NotSet)
    return "the number of planes is not set (Set Num. of Planes or Set Step Size)";
  if (NumPlanes <= 0)
    return Num.Format0(NumPlanes) + " planes: a stack needs at least 1";
  return "";
}

void ZAcq::ShowPlan() {
  // The height is computed first so that an overflow leaves the window as it was.
  const double height = Height(ZTop, ZBottom);
  if (IsSet(ZTop))
    View.ShowInBox(RunBox::Top, Num.Format2(ZTop));
  if (IsSet(ZBottom))
    View.ShowInBox(RunBox::Bottom, Num.Format2(ZBottom));
  if (NumPlanes != NotSet)
    View.ShowInBox(RunBox::NumPlanes, Num.Format0(NumPlanes));
  if (IsSet(StepSize))
    View.ShowInBox(RunBox::StepSize, Num.Format2(StepSize));
  View.Status("ZTop= " + Num.Format2(ZTop) + ", ZBottom= " + Num.Format2(ZBottom) +
              ", ZHeight= " + Num.Format2(height));
}

}  // namespace focura
