#pragma once
// The pulse of the controller's trigger output: "CON /2J1R", the hold time, "CON /2J0R". Once
// the output may be on, switching it off is the tool's first duty; a pulse that lasted visibly
// longer than asked (a busy Z server kept "CON /2J0R" waiting) is told, never passed over.

#include <cstdint>
#include <string>

namespace focura {

struct FramePorts;
class Delay32;
class ZServer;

// Said after every text while the output may still be on.
inline constexpr const char* kMayStillBeOn = "; the trigger output may still be on";

struct TriggerOutput {
  // From the moment "CON /2J1R" is sent until a "CON /2J0R" was accepted: a failed call may
  // still have switched the output on.
  bool mayBeOn = false;
  // Pulses since the last reset that lasted longer than the hold time by more than the Z server's
  // busy retry interval, and the longest of them.
  int32_t longPulses = 0;
  uint32_t longestMs = 0;

  void ResetLongPulses() {
    longPulses = 0;
    longestMs = 0;
  }
};

// One pulse of `holdMs`. A pulse that ran long is said in the status line. When a
// command fails after the output may have been switched on, "CON /2J0R" is tried again (a few
// times) and the failure says if the output may still be on; a closed window leaves that to the
// unload.
void PulseTrigger(int32_t holdMs, const FramePorts& ports);

// Sends "CON /2J0R" until the server accepts it, a few times at most; true once the output is
// off. Only a closed window throws.
bool TrySwitchTriggerOff(ZServer& zserver, TriggerOutput& output, Delay32& delay);

// "; the trigger output stayed on too long at 2 planes (up to 1350 ms, hold time 500 ms)", or
// empty when every pulse kept to its time.
std::string LongPulsesText(const TriggerOutput& output, int32_t holdMs);

}  // namespace focura
