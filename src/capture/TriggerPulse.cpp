#include "capture/TriggerPulse.h"

#include <algorithm>
#include <exception>

#include "capture/FrameTrigger.h"
#include "text/Errors.h"
#include "wait/Delay32.h"
#include "zserver/Commands.h"
#include "zserver/Repeat.h"
#include "zserver/ZServer.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

// A refused switch-off is tried again a few times, a busy retry interval apart: an output left on
// can spoil every later picture.
constexpr int kSwitchOffAttempts = 3;

// Sends "CON /2J0R" until the Z server accepts it, up to kSwitchOffAttempts times. Returns the
// first refusal (null when the first try was taken): a refused command stops a run even when a
// later try switched the output off.
std::exception_ptr SwitchOff(ZServer& zserver, TriggerOutput& output, Delay32& delay) {
  std::exception_ptr refused;
  for (int attempt = 1; attempt <= kSwitchOffAttempts; ++attempt) {
    if (attempt > 1)
      delay.WaitMs(zcmd::kBusyRetryIntervalMs);
    try {
      zserver.Exec(zcmd::kTriggerOff);
      output.mayBeOn = false;
      return refused;
    } catch (const ZServerError&) {
      if (!refused)
        refused = std::current_exception();
    }
  }
  return refused;
}

[[noreturn]] void FailSaying(const ZServerError& e, const std::string& more) {
  if (dynamic_cast<const ZServerLost*>(&e) != nullptr)
    throw ZServerLost(e.Command(), e.Message() + more);
  throw ZServerError(e.Command(), e.Message() + more);
}

}  // namespace

bool TrySwitchTriggerOff(ZServer& zserver, TriggerOutput& output, Delay32& delay) {
  SwitchOff(zserver, output, delay);
  return !output.mayBeOn;
}

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
    TrySwitchTriggerOff(ports.zserver, output, ports.delay);
    if (output.mayBeOn)
      FailSaying(e, kMayStillBeOn);
    throw;
  }
  const uint32_t onAt = ports.delay.Now();
  ports.delay.WaitMs(holdMs);
  // A closed window instead leaves it to the unload, which switches it off before "Unload".
  if (const std::exception_ptr refused = SwitchOff(ports.zserver, output, ports.delay)) {
    try {
      std::rethrow_exception(refused);
    } catch (const ZServerError& e) {
      FailSaying(e, output.mayBeOn ? kMayStillBeOn : "");
    }
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
