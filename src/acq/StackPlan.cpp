#include "acq/StackPlan.h"

#include <cmath>

#include "text/Errors.h"

namespace focura {

namespace {

bool IsSet(double field) {
  return field != NotSetD;
}

// Why the ends cannot bound a stack, or "" when they can.
std::string EndsRefusal(const AcqSettings& s, const NumberText& num) {
  if (!IsSet(s.ZTop) && !IsSet(s.ZBottom))
    return "neither end is set (Set Top and Set Bottom, or Get Joystick Top and Bottom)";
  if (!IsSet(s.ZTop))
    return "the top is not set (Set Top)";
  if (!IsSet(s.ZBottom))
    return "the bottom is not set (Set Bottom)";
  if (s.ZTop == s.ZBottom)
    return "top and bottom are both " + num.Format2(s.ZTop) + ": the stack has no height";
  return "";
}

const std::string kHeightOverflow = "the stack height is beyond the number range";

}  // namespace

double StackHeight(double top, double bottom) {
  // Extreme ends can make the difference overflow.
  const double h = std::fabs(bottom - top);
  if (!std::isfinite(h))
    throw ArithmeticError("Overflow: " + kHeightOverflow);
  return h;
}

Planned<double> StepFromPlanes(const AcqSettings& s, const NumberText& num) {
  if (std::string ends = EndsRefusal(s, num); !ends.empty())
    return Refused{ends};
  if (s.NumPlanes <= 0)
    return Refused{num.Format0(s.NumPlanes) + " planes: a stack needs at least 2"};
  if (s.NumPlanes == 1)
    return Refused{"1 plane gives no step: the ends need at least 2 planes"};
  const double h = std::fabs(s.ZBottom - s.ZTop);
  if (!std::isfinite(h))
    return Refused{kHeightOverflow};
  return h / static_cast<double>(s.NumPlanes - 1);
}

Planned<int32_t> PlanesFromStep(const AcqSettings& s, const NumberText& num) {
  if (std::string ends = EndsRefusal(s, num); !ends.empty())
    return Refused{ends};
  if (!(s.StepSize > 0))
    return Refused{"a step of " + num.Format2(s.StepSize) + " is not above 0"};
  const double h = std::fabs(s.ZBottom - s.ZTop);
  if (!std::isfinite(h))
    return Refused{kHeightOverflow};
  const double q = h / s.StepSize + 1;
  if (!(q < 2147483647.5)) {
    return Refused{"a step of " + num.Format2(s.StepSize) +
                   " gives more planes than a count can hold (2147483647)"};
  }
  return RoundToInt32(q);
}

std::string RunPlanRefusal(const AcqSettings& s, const NumberText& num) {
  std::string ends = EndsRefusal(s, num);
  if (!ends.empty())
    return ends;
  if (!IsSet(s.StepSize))
    return "the step is not set (Set Num. of Planes or Set Step Size)";
  if (!(s.StepSize > 0))
    return "a step of " + num.Format2(s.StepSize) + " is not above 0";
  if (s.NumPlanes == NotSet)
    return "the number of planes is not set (Set Num. of Planes or Set Step Size)";
  if (s.NumPlanes <= 0)
    return num.Format0(s.NumPlanes) + " planes: a stack needs at least 1";
  return "";
}

}  // namespace focura
