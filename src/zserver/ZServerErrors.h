#pragma once

#include <string>
#include <utility>

#include "text/Errors.h"

namespace focura {

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

}  // namespace focura
