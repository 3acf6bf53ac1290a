#pragma once

namespace focura {

// Counts one more for as long as it lives, however the scope ends (a failure or a closed window
// included): the depth of runs and of handlers in progress.
template <typename Count>
class ScopedCount {
 public:
  explicit ScopedCount(Count& count) : count_(count) { ++count_; }
  ~ScopedCount() { --count_; }
  ScopedCount(const ScopedCount&) = delete;
  ScopedCount& operator=(const ScopedCount&) = delete;

 private:
  Count& count_;
};

}  // namespace focura
