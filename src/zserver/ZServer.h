#pragma once
// The Z server: one automation object through which every motion, joystick and controller command
// passes. One command in, one reply out; a failure throws ZServerError.

#include <string>

namespace focura {

inline constexpr const char* kZServerProgId = "Hoistra.HoistraCmd";

class ZServer {
 public:
  virtual ~ZServer() = default;
  virtual std::string Exec(const std::string& command) = 0;

  // A run holds on to the server that serves its first command, from then until UnbindRun: a
  // server that goes meanwhile is not started again, so nothing of the run (nor of a handler run
  // in one of its pauses) reaches a server that never got the run's start move. A server that is
  // never started again has nothing to do here.
  virtual void BindRun() {}
  virtual void UnbindRun() noexcept {}
};

}  // namespace focura
