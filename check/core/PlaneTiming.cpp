#include "check/core/PlaneTiming.h"

#include <algorithm>
#include <cstdlib>

namespace focura::check {

std::string PlaneTimes::Exec(const std::string& command) {
  // The run steps with relative moves; the move to the start position is absolute.
  if (command.rfind("Z Rel", 0) == 0)
    starts_.push_back(clock_.NowMs());
  return inner_.Exec(command);
}

IntervalExcess ExcessOverPeriod(const std::vector<uint32_t>& starts, int32_t periodMs) {
  IntervalExcess e;
  std::vector<int32_t> excess;
  for (size_t i = 1; i < starts.size(); ++i)
    excess.push_back(static_cast<int32_t>(starts[i] - starts[i - 1]) - periodMs);
  e.intervals = excess.size();
  if (excess.empty())
    return e;
  for (const int32_t x : excess) {
    if (std::abs(x) > std::abs(e.worst))
      e.worst = x;
  }
  std::sort(excess.begin(), excess.end());
  e.median = excess[excess.size() / 2];
  return e;
}

namespace {
std::string Signed(int32_t ms) {
  return (ms > 0 ? "+" : "") + std::to_string(ms) + " ms";
}
}  // namespace

std::string DescribeExcess(const IntervalExcess& e, int32_t periodMs) {
  return "median " + Signed(e.median) + ", worst " + Signed(e.worst) + " over " +
         std::to_string(e.intervals) + " intervals of " + std::to_string(periodMs) + " ms";
}

}  // namespace focura::check

#include "check/core/CheckReport.h"

namespace focura::check {

CheckResult JudgeTiming(const IntervalExcess& e, int32_t periodMs, size_t planes) {
  const std::string figure = DescribeExcess(e, periodMs);
  if (e.intervals + 1 != planes)
    return Fail(figure, "the run reached " + std::to_string(e.intervals + 1) + " of " +
                            std::to_string(planes) + " planes");
  if (e.median < 0 || e.median > kMedianLimitMs)
    return Fail(figure, "a plane typically lasts its period to within " +
                            std::to_string(kMedianLimitMs) +
                            " ms: the millisecond counter is coarse or the waits are throttled");
  if (e.worst > kWorstLimitMs || e.worst < 0)
    return Fail(figure, "a plane deviated from the period by more than " +
                            std::to_string(kWorstLimitMs) + " ms or was cut short");
  return Pass(figure);
}

}  // namespace focura::check
