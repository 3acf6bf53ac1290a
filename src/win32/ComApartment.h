#pragma once
// The UI thread's single-threaded COM apartment, entered for the life of the owner.

namespace focura::win32 {

class ComApartment {
 public:
  // Throws PlatformError when the thread already belongs to another kind of apartment.
  ComApartment();
  ~ComApartment();
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

}  // namespace focura::win32
