#pragma once
// A command the simulator refuses (soft limit, joystick off, bad setting) or an injected failure.
// Hosts turn it into the failure their callers expect: a COM exception or a ZServerError.

#include <stdexcept>
#include <string>

namespace zsim {

struct SimError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The simulator is busy ("Sim Busy"): the command was not accepted and nothing of it ran. A COM
// host answers "retry later".
struct SimBusy : SimError {
  using SimError::SimError;
};

}  // namespace zsim
