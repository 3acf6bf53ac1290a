#pragma once
// The verdicts of the rows whose subject is how a run treats the PC and the camera program: the
// power request a run holds, a program busy over its key, a program that shows a modal dialog.
// What the rows saw is gathered on the PC; what it means is decided here, where fakes reach it.

#include <cstdint>
#include <string>

#include "check/core/CheckReport.h"

namespace focura::check {

// A short run with keys, through the tool's own stay-awake port and its Windows adapter.
struct AwakeSeen {
  std::string runEnd;         // the run's status when it did not finish, else ""
  bool asked = false;         // the run asked to stay awake
  bool askedDisplay = false;  // ... with the display on, as a run with keys must
  // What the system accepted of the power request while the run held it.
  bool heldSystem = false;
  bool heldDisplay = false;
  bool released = false;   // the run let go when it ended
  bool heldAfter = false;  // some part of the request still held after the run
};

// Fails what the tool does wrong; a request the PC refuses is something the PC lacks, and the
// operator is told what it leaves to the screen saver and the lock. Wine (its version in `wine`,
// "" on Windows) refuses power requests: that is only a skip.
CheckResult JudgeStayAwake(const AwakeSeen& seen, const std::string& wine);

// One frame to a program that spends `busyMs` in its key's handler, longer than the system
// waits before it calls the program "not responding".
struct BusySeen {
  uint32_t busyMs = 0;
  std::string failure;   // the frame's failure text, "" when it went out
  uint32_t frameMs = 0;  // how long the frame took
  size_t keys = 0;       // keys the program logged
  bool inFront = false;  // the program was in front when it took its key
};

CheckResult JudgeBusyProgram(const BusySeen& seen);

// Two frames: the first key opens a modal dialog in the program, which closes itself after
// `dialogMs`; the second frame comes while the dialog is open.
struct DialogSeen {
  uint32_t dialogMs = 0;
  std::string firstFailure;   // "" when the first frame went out
  bool opened = false;        // the program logged its dialog opening
  bool closed = false;        // ... and closing
  bool closedByKey = false;   // a key closed it, not its own timer
  std::string secondFailure;  // "" when the second frame went out
  uint32_t secondFrameMs = 0;
  size_t keys = 0;                // keys the program's own window logged
  bool secondAfterClose = false;  // the second of them came after the dialog closed
  bool secondInFront = false;
};

CheckResult JudgeModalDialog(const DialogSeen& seen);

// "7.2 s"
std::string SecondsText(uint32_t ms);

}  // namespace focura::check
