#include "win32/ExecutionStateAwake.h"

#include <windows.h>

namespace focura::win32 {

// A refused request leaves the system's own timers in charge, as before the run: no reason to
// stop a run, and the operator could do nothing about it. The system drops the request itself
// should the program end while holding it.

void ExecutionStateAwake::Hold(bool displayToo) {
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED |
                          (displayToo ? ES_DISPLAY_REQUIRED : 0));
}

void ExecutionStateAwake::Release() {
  SetThreadExecutionState(ES_CONTINUOUS);
}

}  // namespace focura::win32
