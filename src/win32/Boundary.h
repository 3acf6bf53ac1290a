#pragma once
// The one boundary between the system's code and ours. Every window, dialog, subclass and hook
// procedure and every COM method the system calls runs its body through Guarded: nothing may
// unwind through the system's frames, so a thrown error becomes the value `onError` makes of its
// message (0 for a window procedure, an HRESULT for a COM method).

#include <exception>
#include <string>

namespace focura::win32 {

// The message of the error in flight; called inside a catch block.
inline std::string InFlightErrorText() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unexpected error";
  }
}

template <class Body, class OnError>
auto Guarded(Body&& body, OnError&& onError) noexcept -> decltype(body()) {
  try {
    return body();
  } catch (...) {
    return onError(InFlightErrorText());
  }
}

}  // namespace focura::win32
