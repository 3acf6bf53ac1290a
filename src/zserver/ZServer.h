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
};

}  // namespace focura
