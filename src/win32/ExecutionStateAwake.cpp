#include "win32/ExecutionStateAwake.h"

namespace focura::win32 {

// A refused request leaves the system's own timers in charge, as before the run: no reason to
// stop a run, and the operator could do nothing about it. The system drops both requests itself
// should the program end while holding them.

namespace {

wchar_t kReason[] = L"Focura Acquisition is taking a Z stack";

}  // namespace

ExecutionStateAwake::~ExecutionStateAwake() {
  Release();
}

void ExecutionStateAwake::Set(POWER_REQUEST_TYPE type, bool on, bool& held) {
  if (on == held || !request_)
    return;
  if (on ? PowerSetRequest(request_.get(), type) : PowerClearRequest(request_.get(), type))
    held = on;
}

void ExecutionStateAwake::Hold(bool displayToo) {
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED |
                          (displayToo ? ES_DISPLAY_REQUIRED : 0));
  if (!request_) {
    REASON_CONTEXT reason{};
    reason.Version = POWER_REQUEST_CONTEXT_VERSION;
    reason.Flags = POWER_REQUEST_CONTEXT_SIMPLE_STRING;
    reason.Reason.SimpleReasonString = kReason;
    HANDLE h = PowerCreateRequest(&reason);
    if (h != INVALID_HANDLE_VALUE)
      request_.reset(h);
  }
  Set(PowerRequestSystemRequired, true, system_);
  Set(PowerRequestDisplayRequired, displayToo, display_);
}

void ExecutionStateAwake::Release() {
  SetThreadExecutionState(ES_CONTINUOUS);
  Set(PowerRequestDisplayRequired, false, display_);
  Set(PowerRequestSystemRequired, false, system_);
}

}  // namespace focura::win32
