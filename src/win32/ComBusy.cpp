#include "win32/ComBusy.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include "win32/Owned.h"

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

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override {
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
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++refs; }
  // COM's own release of this object, not a release of one we hold.
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --refs;
    if (left == 0)
      delete this;
    return left;
  }

  // The tool serves no objects of its own that another program calls into.
  DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD,
                                             LPINTERFACEINFO) noexcept override {
    return SERVERCALL_ISHANDLED;
  }

  DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD elapsedMs,
                                            DWORD rejectType) noexcept override {
    if (rejectType != SERVERCALL_RETRYLATER)
      return static_cast<DWORD>(-1);  // refused outright: retrying changes nothing
    if (elapsedMs < retry.limitMs)
      return retry.intervalMs;
    tGaveUpOnBusy = true;
    return static_cast<DWORD>(-1);
  }

  // Input stays queued for after the call; the caller's event hold covers what COM dispatches.
  DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) noexcept override {
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
  UniqueHandle never(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!never) {
    Sleep(ms);
    return;
  }
  HANDLE handles[] = {never.get()};
  DWORD index = 0;
  CoWaitForMultipleHandles(0, ms, 1, handles, &index);
}

BusyRetryFilter::BusyRetryFilter(BusyRetry retry) : filter_(AdoptCom(new Filter(retry))) {
  // Refused outside a single-threaded apartment, where calls are never rejected as busy.
  registered_ = SUCCEEDED(CoRegisterMessageFilter(filter_.Get(), &previous_));
}

BusyRetryFilter::~BusyRetryFilter() {
  if (registered_) {
    Microsoft::WRL::ComPtr<IMessageFilter> ours;
    CoRegisterMessageFilter(previous_.Get(), &ours);
  }
}

}  // namespace focura::win32
