#pragma once
// The system's own words for a failure, for messages the operator reads.

#include <string>

namespace focura::win32 {

// The text of a Win32 error code (GetLastError), e.g. "The system cannot find the file
// specified." Falls back to "error <n>" when the system has no text for it.
std::string SystemErrorText(unsigned long code);
// The text of an HRESULT, followed by its hexadecimal value, e.g. "Invalid class string
// (0x800401F3)".
std::string HresultText(long hr);

}  // namespace focura::win32
