#pragma once
// The typed failures of the core. Handlers trap the regions the operator's commands name; anything
// else travels up to the window's dispatch boundary, which reports it in the status line.

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

// The Z server refused a command or could not be reached. what() names the command and carries
// the server's own message.
struct ZServerError : FocuraError {
  ZServerError(std::string command, const std::string& message)
      : FocuraError("Z server command \"" + command + "\" failed: " + message),
        command_(std::move(command)),
        message_(message) {}
  const std::string& Command() const { return command_; }
  const std::string& Message() const { return message_; }

 private:
  std::string command_;
  std::string message_;
};

// The Z server's process is gone (ended or crashed): the command failed and its object answers
// nothing any more. Whether the command took effect before the process went is unknown.
struct ZServerLost : ZServerError {
  using ZServerError::ZServerError;
};

// The command never reached a Z server: the one that was lost could not be started again, or is
// not started again during a run.
struct ZServerUnsent : ZServerError {
  using ZServerError::ZServerError;
};

// A platform service (process start, window activation, keys, clipboard, files) failed.
struct PlatformError : FocuraError {
  using FocuraError::FocuraError;
};

// The window was closed while a handler waited at a pump point: the handler must unwind without
// touching the window or the Z server again.
struct WindowClosed : FocuraError {
  WindowClosed() : FocuraError("The window was closed") {}
};

}  // namespace focura
