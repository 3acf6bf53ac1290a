#include "win32/ComApartment.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include "capture/PlatformError.h"
#include "win32/ComBusy.h"
#include "win32/ErrorText.h"

namespace focura::win32 {

ComApartment::ComApartment() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  if (FAILED(hr))
    throw PlatformError("COM could not be initialised: " + HresultText(hr));
  filter_ = std::make_unique<BusyRetryFilter>();
}

ComApartment::~ComApartment() {
  filter_.reset();
  CoUninitialize();
}

}  // namespace focura::win32
