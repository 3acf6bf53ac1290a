#pragma once
// Sets an environment variable of the driver (inherited by the programs it starts) for one scope.

#include "Desktop.h"

#include <string>

namespace focura::e2e {

class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const std::string& value) : name_(name) {
    SetEnvironmentVariableW(name_, Wide(value).c_str());
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const wchar_t* name_;
};

}  // namespace focura::e2e
