#pragma once
// The UI thread's single-threaded COM apartment, entered for the life of the owner, with the
// message filter that retries calls a busy server rejects (see ComBusy).

#include <memory>

#include "win32/Owned.h"

namespace focura::win32 {

class BusyRetryFilter;

class ComApartment {
 public:
  // Throws PlatformError when the thread already belongs to another kind of apartment.
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  // Declared first so that it goes last, after the filter.
  UniqueComInit com_;
  std::unique_ptr<BusyRetryFilter> filter_;
};

}  // namespace focura::win32
