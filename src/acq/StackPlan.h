#pragma once
// The stack plan's arithmetic: what the ends, the count and the step give, or why they cannot.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "acq/AcqSettings.h"
#include "text/NumberText.h"

namespace focura {

// Why a plan was refused: the reason the status line's tooltip shows beside the bare "Error".
struct Refused {
  std::string reason;
};

// A plan function's answer: its value, or the reason it was refused.
template <class T>
class Planned {
 public:
  // Either converts implicitly, so a plan function returns its value or Refused{...} alike.
  Planned(T value) : value_(std::move(value)) {}
  Planned(Refused refused) : reason_(std::move(refused.reason)) {}
  bool Ok() const { return value_.has_value(); }
  const T& Value() const { return value_.value(); }
  // "" when the plan was not refused.
  const std::string& Reason() const { return reason_; }

 private:
  std::optional<T> value_;
  std::string reason_;
};

// The answer of a check that has no value to give.
struct Accepted {};
using PlanCheck = Planned<Accepted>;

// The step that `settings`' count of planes gives between its ends. A count of 1 has no step.
Planned<double> StepFromPlanes(const AcqSettings& settings, const NumberText& num);
// The count of planes that `settings`' step gives between its ends, rounded half to even; a count
// beyond 32 bits is refused.
Planned<int32_t> PlanesFromStep(const AcqSettings& settings, const NumberText& num);
// Why the plan as it stands could not be run ("" when it could), the timings aside.
std::string RunPlanRefusal(const AcqSettings& settings, const NumberText& num);

// The distance between the ends; throws ArithmeticError when it is beyond the number range, which
// must never reach a display or a derived step.
double StackHeight(double top, double bottom);

}  // namespace focura
