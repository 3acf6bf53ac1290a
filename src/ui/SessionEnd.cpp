#include "ui/SessionEnd.h"

namespace focura {

bool SessionEnd::Query(bool forced) {
  if (said_)
    return true;
  // A stack must not be closed for an end that is called off afterwards: the close waits for
  // the system's word that the session really ends.
  if (!forced && !posted_) {
    const std::string run = port_.RunInProgress();
    if (!run.empty()) {
      holding_ = true;
      port_.HoldEnd(run);
      return false;
    }
  }
  if (!posted_) {
    posted_ = true;
    port_.PostClose();
  }
  // A forced end does not wait for any answer; the queued close may still come first.
  if (forced)
    return true;
  if (!holding_) {
    holding_ = true;
    port_.HoldEnd(kSessionEndHoldReason);
  }
  return false;
}

void SessionEnd::Ended(bool ending) {
  // A session that goes on keeps what was started: the queued close still comes, since the tool
  // was already told to go. A run that only held the end goes on.
  if (!ending && holding_ && !posted_) {
    holding_ = false;
    port_.ReleaseEnd();
  }
  if (!ending || said_)
    return;
  port_.AnswerNow();
  port_.CloseNow();
}

void SessionEnd::FarewellSaid() {
  said_ = true;
  if (holding_) {
    holding_ = false;
    port_.ReleaseEnd();
  }
}

std::string RunningHoldReason(int32_t plane, int32_t planes) {
  if (plane <= 0)
    return "A Z stack is running, moving to its start";
  return "A Z stack is running, at plane " + std::to_string(plane) + " of " +
         std::to_string(planes);
}

}  // namespace focura
