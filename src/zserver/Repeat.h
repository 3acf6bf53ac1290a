#pragma once
// Which commands may be sent again after the Z server answered "retry later" from inside its own
// Exec. Such an answer does not say whether the command ran: a query, a window command, the
// absolute start move or switching the trigger output off gives the same result when repeated,
// while a relative move repeated could move the axis a second step.

#include <cstdint>
#include <string>

namespace focura::zcmd {

// How long a busy Z server is waited for between two tries.
inline constexpr uint32_t kBusyRetryIntervalMs = 100;

bool SafeToRepeat(const std::string& command);

// The failure text of a command answered "retry later" that is not sent again.
std::string NotRepeatedText(const std::string& command);

}  // namespace focura::zcmd
