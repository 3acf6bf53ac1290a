#include "ui/DispatchBoundary.h"

#include "text/Errors.h"

namespace focura {

std::string FailureMessage(const std::exception& e) {
  // The core's own errors already say what failed, in the operator's terms.
  if (dynamic_cast<const FocuraError*>(&e) != nullptr)
    return e.what();
  return std::string("Unexpected error: ") + e.what();
}

std::optional<std::string> RunInBoundary(const std::function<void()>& handler) noexcept {
  try {
    handler();
  } catch (const WindowClosed&) {
    return std::nullopt;
  } catch (const std::exception& e) {
    try {
      return FailureMessage(e);
    } catch (...) {
      return std::nullopt;  // not even the message could be built (out of memory)
    }
  } catch (...) {
    try {
      return std::string("Unexpected error");
    } catch (...) {
      return std::nullopt;
    }
  }
  return std::nullopt;
}

}  // namespace focura
