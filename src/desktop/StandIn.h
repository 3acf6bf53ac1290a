#pragma once
// The capture-target stand-in as the check and the tests use it: started by them or by the
// tool; its key log read back and parsed.

#include "desktop/Process.h"
#include "desktop/TargetLog.h"

#include <string>
#include <vector>

namespace focura::desktop {

// The command line that starts the stand-in with this caption and log (paths quoted).
std::string StandInCommandLine(const std::string& exe, const std::string& title,
                               const std::string& logPath, bool holdFocus = false);

class StandInLog {
 public:
  explicit StandInLog(std::string path) : path_(std::move(path)) {}
  const std::string& Path() const { return path_; }
  std::vector<TargetEvent> Events() const;
  std::vector<TargetEvent> Keys() const { return KeyDowns(Events()); }
  // Waits until the stand-in has started (its START line); false on time-out.
  bool WaitStarted(unsigned ms) const;
  // Waits until at least `n` key-down events are logged.
  bool WaitKeys(size_t n, unsigned ms) const;

 private:
  std::string path_;
};

}  // namespace focura::desktop
