#pragma once
// What a process that must keep its millisecond timing for hours asks of Windows at start.

namespace focura::win32 {

// Asks Windows 11 to keep honouring the process's 1 ms timer request while its windows are
// covered or minimised (power throttling would otherwise stretch every wait to 15.6 ms steps).
// Looked up at run time; older systems lack it, and a refusal changes nothing. Returns whether
// the system accepted it.
bool KeepTimerResolutionWhenHidden();

// A window busy in a long wait must not be replaced by a "not responding" ghost, which the
// operator could close in the middle of a stack.
void KeepWindowsFromGhosting();

}  // namespace focura::win32
