#pragma once
// A COM server that is busy (showing a message box of its own, for example) answers "retry
// later". Without help the call fails at once and a run stops; the tool retries such a call every
// 100 ms for up to 30 s before it gives up. Two paths lead here: the system's rejection of a call
// (the thread's message filter decides about the retry) and a server that returns
// RPC_E_SERVERCALL_RETRYLATER from the call itself (ComZServer retries a command that is safe to
// repeat and fails any other at once). The caller's event hold stays in place throughout, so no
// window handler starts while a call waits.

#include <windows.h>
// After windows.h, which they need.
#include <objidl.h>
#include <wrl/client.h>

#include <string>

#include "zserver/Repeat.h"

namespace focura::win32 {

struct BusyRetry {
  unsigned long intervalMs = zcmd::kBusyRetryIntervalMs;
  unsigned long limitMs = 30000;
};

// The failure text of a call given up on: says that the Z server stayed busy, and for how long.
std::string StayedBusyText(const BusyRetry& retry);

// Whether the filter of this thread gave up on a call the server kept rejecting as busy since the
// mark was last taken; clears the mark.
bool TakeGaveUpOnBusy();

// Waits `ms` the way COM's own modal loop waits during a call: messages are dispatched (the
// caller holds the window's events), nothing else happens.
void WaitBeforeRetry(unsigned long ms);

// The message filter of the calling thread's single-threaded apartment, registered for the
// owner's lifetime; the filter that was there before comes back afterwards.
class BusyRetryFilter {
 public:
  explicit BusyRetryFilter(BusyRetry retry = {});
  ~BusyRetryFilter();
  BusyRetryFilter(const BusyRetryFilter&) = delete;
  BusyRetryFilter& operator=(const BusyRetryFilter&) = delete;

 private:
  struct Filter;
  Microsoft::WRL::ComPtr<Filter> filter_;
  Microsoft::WRL::ComPtr<IMessageFilter> previous_;
  bool registered_ = false;
};

}  // namespace focura::win32
