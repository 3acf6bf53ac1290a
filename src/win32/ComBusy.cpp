#include "win32/ComBusy.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

namespace focura::win32 {
namespace {

thread_local bool tGaveUpOnBusy = false;

std::string Duration(unsigned long ms) {
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

}  // namespace

struct BusyRetryFilter::Filter final : IMessageFilter {
  explicit Filter(BusyRetry r) : retry(r) {}
  virtual ~Filter() = default;
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr)
      return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IMessageFilter)) {
      *ppv = static_cast<IMessageFilter*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs;
    if (left == 0)
      delete this;
    return left;
  }

  // The tool serves no objects of its own that another program calls into.
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
    return SERVERCALL_ISHANDLED;
  }

  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType) override {
    if (rejectType != SERVERCALL_RETRYLATER)
      return static_cast<DWORD>(-1);  // refused outright: retrying changes nothing
    if (elapsedMs < retry.limitMs)
      return retry.intervalMs;
    tGaveUpOnBusy = true;
    return static_cast<DWORD>(-1);
  }

  // Input stays queued for after the call; the caller's event hold covers what COM dispatches.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override {
    return PENDINGMSG_WAITDEFPROCESS;
  }

  BusyRetry retry;
  ULONG refs = 1;
};

std::string StayedBusyText(const BusyRetry& retry) {
  return "the Z server stayed busy: it answered \"retry later\" for " + Duration(retry.limitMs) +
         ", retried every " + Duration(retry.intervalMs);
}

bool TakeGaveUpOnBusy() {
  const bool gaveUp = tGaveUpOnBusy;
  tGaveUpOnBusy = false;
  return gaveUp;
}

void WaitBeforeRetry(unsigned long ms) {
  HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (never == nullptr) {
    Sleep(ms);
    return;
  }
  DWORD index = 0;
  CoWaitForMultipleHandles(0, ms, 1, &never, &index);
  CloseHandle(never);
}

BusyRetryFilter::BusyRetryFilter(BusyRetry retry) : filter_(new Filter(retry)) {
  IMessageFilter* previous = nullptr;
  // Refused outside a single-threaded apartment, where calls are never rejected as busy.
  registered_ = SUCCEEDED(CoRegisterMessageFilter(filter_, &previous));
  previous_ = previous;
}

BusyRetryFilter::~BusyRetryFilter() {
  if (!registered_) {
    filter_->Release();
    return;
  }
  IMessageFilter* ours = nullptr;
  CoRegisterMessageFilter(static_cast<IMessageFilter*>(previous_), &ours);
  if (ours != nullptr)
    ours->Release();
  if (previous_ != nullptr)
    static_cast<IMessageFilter*>(previous_)->Release();
  filter_->Release();
}

}  // namespace focura::win32
