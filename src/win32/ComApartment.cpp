#include "win32/ComApartment.h"

#include <windows.h>
// After windows.h, which it needs.
#include <objbase.h>

#include "capture/PlatformError.h"
#include "win32/ComBusy.h"
#include "win32/ErrorText.h"

namespace focura::win32 {

ComApartment::ComApartment() : com_(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE) {
  if (FAILED(com_.Result()))
    throw PlatformError("COM could not be initialised: " + HresultText(com_.Result()));
  filter_ = std::make_unique<BusyRetryFilter>();
}

ComApartment::~ComApartment() = default;

}  // namespace focura::win32
