#pragma once
// Runs the table with a time limit for every check. The checks run on a thread of their own (its
// own COM apartment); this thread keeps the progress window alive and watches the clock. A check
// that overruns its limit is reported as failed with what it was waiting for, and the rows after
// it run on a fresh thread with a fresh table, so that one hang anywhere never costs the report.

#include <functional>
#include <string>
#include <vector>

#include "Checks.h"
#include "check/core/CheckReport.h"

namespace focura::check {

struct RunnerEvents {
  // Now and then while check `index` runs: how long it has run, in whole seconds.
  std::function<void(size_t index, unsigned seconds, unsigned limit)> running;
  std::function<void(const CheckRow&)> done;
  // Messages of the calling thread's windows, dispatched while it waits.
  std::function<void()> pump;
};

// `names` and `limits` come from a table made once for them; `makeTable` makes the table a
// worker runs (one per worker: the simulator a stuck worker holds is never touched again).
// `abandoned` tells whether a worker was left stuck: the process must then end without waiting.
std::vector<CheckRow> RunWithLimits(
    const CheckSetting& setting,
    const std::function<std::vector<Check>(const CheckSetting&)>& makeTable,
    const RunnerEvents& events, bool& abandoned);

// Until `seconds` have passed; then `onExpiry` runs on the watchdog's thread (it writes what the
// run has and ends the process). Stands for a process whose own thread stopped answering.
void StartWatchdog(unsigned seconds, std::function<void()> onExpiry);

}  // namespace focura::check
