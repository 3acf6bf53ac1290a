#pragma once
// When each plane of a run started, as the run's own clock saw it: the moment every step command
// was handed to the Z server. Their intervals against the period show what the system's
// millisecond counter and its waits deliver on this PC.

#include <cstdint>
#include <string>
#include <vector>

#include "wait/Clock.h"
#include "zserver/ZServer.h"

namespace focura::check {

class PlaneTimes : public ZServer {
 public:
  PlaneTimes(ZServer& inner, Clock& clock) : inner_(inner), clock_(clock) {}
  std::string Exec(const std::string& command) override;
  const std::vector<uint32_t>& Starts() const { return starts_; }

 private:
  ZServer& inner_;
  Clock& clock_;
  std::vector<uint32_t> starts_;
};

struct IntervalExcess {
  size_t intervals = 0;
  int32_t median = 0;  // ms beyond the period (negative: too short)
  int32_t worst = 0;   // the largest deviation from the period, by magnitude, with its sign
};

// Intervals between successive starts (across the counter's wrap) minus the period.
IntervalExcess ExcessOverPeriod(const std::vector<uint32_t>& starts, int32_t periodMs);

// "median +1 ms, worst +3 ms over 19 intervals of 100 ms"
std::string DescribeExcess(const IntervalExcess& e, int32_t periodMs);

}  // namespace focura::check

namespace focura::check {

// A run is on time when the typical plane lasts its period to within kMedianLimitMs and no plane
// overruns by more than kWorstLimitMs. A coarse counter (15.6 ms steps, as Windows gives a
// process whose timer resolution request is throttled) shows as a median several ms over; a
// single late plane is what any other busy program on the PC can cause, and fails the run only
// when it is late enough to matter to the stack.
inline constexpr int32_t kMedianLimitMs = 3;
inline constexpr int32_t kWorstLimitMs = 250;

struct CheckResult;
CheckResult JudgeTiming(const IntervalExcess& e, int32_t periodMs, size_t planes);

}  // namespace focura::check
