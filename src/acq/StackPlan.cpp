#include <cmath>
#include <utility>

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

int16_t ZAcq::StepFromPlanes() {
  if (!IsSet(ZTop) || !IsSet(ZBottom))
    return -1;
  if (ZTop == ZBottom)
    return -1;
  if (NumPlanes <= 0)
    return -1;
  if (NumPlanes == 1) {
    throw ArithmeticError("Division by zero: a stack of one plane has no step");
  }
  StepSize = Height(ZTop, ZBottom) / static_cast<double>(NumPlanes - 1);
  return 1;
}

int16_t ZAcq::PlanesFromStep() {
  if (!IsSet(ZTop) || !IsSet(ZBottom))
    return -1;
  if (ZTop == ZBottom)
    return -1;
  if (!(StepSize > 0))
    return -1;
  const double q = Height(ZTop, ZBottom) / StepSize + 1;
  if (!std::isfinite(q)) {
    throw ArithmeticError("Overflow: the number of planes is beyond the number range");
  }
  NumPlanes = RoundToInt32(q);  // throws beyond 32 bits, NumPlanes untouched
  return 1;
}

int16_t ZAcq::PrepareStack() {
  if (!IsSet(ZTop) || !IsSet(ZBottom))
    return -1;
  if (ZTop == ZBottom)
    return -1;
  if (!IsSet(StepSize) || !(StepSize > 0))
    return -1;
  if (NumPlanes == NotSet || NumPlanes <= 0)
    return -1;

  if (ZTop > ZBottom) {
    std::swap(ZTop, ZBottom);
    ShowPlan();
  }

  // Each timing is stored right after its own conversion, so a bad box leaves the ones before it
  // updated and the rest as they were.
  try {
    CaptureDelay = Num.ToDouble(Win.GetText("txtDelay"));
    SettleDelay = Num.ToDouble(Win.GetText("txtSettle"));
    Period = Num.ToDouble(Win.GetText("txtPeriod"));
  } catch (const WindowClosed&) {
    throw;
  } catch (const FocuraError&) {
    return -1;
  }
  return 1;
}

void ZAcq::ShowPlan() {
  // The height is computed first so that an overflow leaves the window as it was.
  const double height = Height(ZTop, ZBottom);
  if (IsSet(ZTop))
    Win.SetText("lblTop", Num.Format2(ZTop));
  if (IsSet(ZBottom))
    Win.SetText("lblBot", Num.Format2(ZBottom));
  if (NumPlanes != NotSet)
    Win.SetText("txtNumPlanes", Num.Format0(NumPlanes));
  if (IsSet(StepSize))
    Win.SetText("txtStepSize", Num.Format2(StepSize));
  Win.SetText(kStatusLine, "ZTop= " + Num.Format2(ZTop) + ", ZBottom= " + Num.Format2(ZBottom) +
                               ", ZHeight= " + Num.Format2(height));
}

}  // namespace focura
