#include "wait/Delay32.h"

namespace focura {

void Delay32::WaitMs(int32_t ms) {
  const uint32_t t0 = clock_.NowMs();
  // The unsigned difference is the true elapsed time across the middle of the range and across
  // the wrap; comparing in 64 bits lets a negative wait end after the first re-read.
  const int64_t limit = ms;
  for (;;) {
    const uint32_t t = clock_.NowMs();
    if (static_cast<int64_t>(Elapsed(t0, t)) > limit)
      return;
  }
}

}  // namespace focura
