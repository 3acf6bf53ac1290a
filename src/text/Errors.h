#pragma once
// The typed failures of the core: the base every layer catches, the failures of number text and
// arithmetic; and the closed window, which is no failure but unwinds every layer. The Z server's
// failures live in zserver/ZServerErrors.h, the platform's in capture/PlatformError.h. Handlers
// trap the regions the operator's commands name; anything else travels up to the window's dispatch
// boundary, which reports it in the status line.

#include <stdexcept>
#include <string>

namespace focura {

struct FocuraError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Text that is not a number, or a number that does not fit the target type.
struct ConversionError : FocuraError {
  using FocuraError::FocuraError;
};

// Division by zero or overflow in the core's own arithmetic.
struct ArithmeticError : FocuraError {
  using FocuraError::FocuraError;
};

// The window was closed while a handler waited at a pump point: the handler must unwind without
// touching the window or the Z server again. Not a FocuraError, so no handler that traps the
// core's failures can take it for one; only the dispatch boundary and the load end it.
struct WindowClosed : std::exception {
  const char* what() const noexcept override { return "The window was closed"; }
};

}  // namespace focura
