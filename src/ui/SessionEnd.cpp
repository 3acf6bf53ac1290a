#include "ui/SessionEnd.h"

namespace focura {

bool SessionEnd::Query(bool forced) {
  if (said_)
    return true;
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
  // was already told to go.
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

}  // namespace focura
