#include "capture/TriggerPulse.h"

#include <algorithm>

#include "capture/FrameTrigger.h"
#include "text/Errors.h"
#include "wait/Delay32.h"
#include "zserver/Commands.h"
#include "zserver/Repeat.h"
#include "zserver/ZServer.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

const std::string kMayStillBeOn = "; the trigger output may still be on";

// Tries "CON /2J0R" once more after a failure; its own failure only leaves the output marked.
void TrySwitchOff(const FramePorts& ports) {
  try {
    ports.zserver.Exec(zcmd::kTriggerOff);
    ports.trigger.mayBeOn = false;
  } catch (const FocuraError&) {
  }
}

[[noreturn]] void FailSaying(const ZServerError& e, const std::string& more) {
  if (dynamic_cast<const ZServerLost*>(&e) != nullptr)
    throw ZServerLost(e.Command(), e.Message() + more);
  throw ZServerError(e.Command(), e.Message() + more);
}

}  // namespace

void PulseTrigger(int32_t holdMs, const FramePorts& ports) {
  TriggerOutput& output = ports.trigger;
  const bool wasOn = output.mayBeOn;
  output.mayBeOn = true;
  try {
    ports.zserver.Exec(zcmd::kTriggerOn);
  } catch (const ZServerUnsent&) {
    output.mayBeOn = wasOn;  // no server heard it
    throw;
  } catch (const ZServerError& e) {
    TrySwitchOff(ports);
    if (output.mayBeOn)
      FailSaying(e, kMayStillBeOn);
    throw;
  }
  const uint32_t onAt = ports.delay.Now();
  ports.delay.WaitMs(holdMs);
  try {
    ports.zserver.Exec(zcmd::kTriggerOff);
    output.mayBeOn = false;
  } catch (const ZServerError& e) {
    // A closed window instead leaves it to the unload, which switches it off before "Unload".
    FailSaying(e, kMayStillBeOn);
  }

  const uint32_t length = Delay32::Elapsed(onAt, ports.delay.Now());
  const int64_t allowed = int64_t{std::max(holdMs, 0)} + zcmd::kBusyRetryIntervalMs;
  if (int64_t{length} > allowed) {
    ++output.longPulses;
    output.longestMs = std::max(output.longestMs, length);
    ports.report.Status("Trigger output on for " + std::to_string(length) + " ms (hold time " +
                        std::to_string(holdMs) + " ms)");
  }
}

std::string LongPulsesText(const TriggerOutput& output, int32_t holdMs) {
  if (output.longPulses == 0)
    return "";
  const std::string planes =
      output.longPulses == 1 ? "1 plane" : std::to_string(output.longPulses) + " planes";
  return "; the trigger output stayed on too long at " + planes + " (up to " +
         std::to_string(output.longestMs) + " ms, hold time " + std::to_string(holdMs) + " ms)";
}

}  // namespace focura
