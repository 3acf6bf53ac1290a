#include "check/core/RowVerdicts.h"

namespace focura::check {

std::string SecondsText(uint32_t ms) {
  const uint32_t tenths = (ms + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " s";
}

namespace {

std::string HeldText(bool system, bool display) {
  if (system && display)
    return "system and display required";
  if (system)
    return "system required only";
  if (display)
    return "display required only";
  return "nothing held";
}

std::string KeysText(size_t keys) {
  return keys == 1 ? "1 key" : std::to_string(keys) + " keys";
}

}  // namespace

CheckResult JudgeStayAwake(const AwakeSeen& seen, const std::string& wine) {
  if (!seen.runEnd.empty())
    return Fail("", "the run with keys ended with \"" + seen.runEnd + "\"");
  if (!seen.asked)
    return Fail("", "the run did not ask to stay awake");
  const std::string figure = "during the run: " + HeldText(seen.heldSystem, seen.heldDisplay) +
                             "; after it: " + (seen.heldAfter ? "still held" : "nothing held");
  if (!seen.askedDisplay)
    return Fail(figure, "a run with keys did not ask to keep the display on");
  if (!seen.released || seen.heldAfter)
    return Fail(figure, "the power request outlived the run");
  if (!seen.heldSystem || !seen.heldDisplay) {
    CheckResult r;
    if (!wine.empty()) {
      r = Skipped(
          "Wine " + wine +
          " refuses power requests: it has no screen saver or idle lock for one to hold off");
    } else {
      r = Unmet(
          "Windows refused the run's power request: the PC still stays awake and the "
          "display on during a run, but the screen saver and the idle lock may come and "
          "stop a run with keys",
          "set the screen saver to \"(None)\" and the sign-in after being away to \"Never\" "
          "(the guide's \"What the tool needs from Windows\"), and ask the PC's administrator "
          "whether a policy refuses power requests");
    }
    r.figure = figure;
    return r;
  }
  return Pass(figure, "the power request holds off the screen saver and the idle lock");
}

CheckResult JudgeBusyProgram(const BusySeen& seen) {
  const std::string figure = "busy " + SecondsText(seen.busyMs) + " over its key; the frame took " +
                             SecondsText(seen.frameMs) + "; the program logged " +
                             KeysText(seen.keys) + (seen.inFront ? ", in front" : "");
  if (!seen.failure.empty())
    return Fail(figure, "the frame failed: \"" + seen.failure + "\"");
  if (seen.keys != 1)
    return Fail(figure, "the program must take exactly the frame's key");
  if (!seen.inFront)
    return Fail(figure, "the key reached the program while it was not in front");
  if (seen.frameMs < seen.busyMs)
    return Fail(figure, "the frame ended before the program had handled its key");
  return Pass(figure, "the frame waited for the program past the system's \"not responding\"");
}

CheckResult JudgeModalDialog(const DialogSeen& seen) {
  if (!seen.firstFailure.empty())
    return Fail("", "the first frame failed: \"" + seen.firstFailure + "\"");
  if (!seen.opened)
    return Fail("", "the program's dialog did not open after its first key");
  const std::string figure = "dialog open " + SecondsText(seen.dialogMs) +
                             "; the second frame took " + SecondsText(seen.secondFrameMs) +
                             "; the program's window logged " + KeysText(seen.keys);
  if (seen.closedByKey)
    return Fail(figure, "a frame's key went into the dialog and dismissed it");
  if (!seen.secondFailure.empty())
    return Fail(figure, "the second frame failed: \"" + seen.secondFailure + "\"");
  if (!seen.closed)
    return Fail(figure, "the dialog did not close");
  if (seen.keys != 2 || !seen.secondAfterClose)
    return Fail(figure, "the second key did not reach the program's window after the dialog");
  if (!seen.secondInFront)
    return Fail(figure, "the second key reached the program while it was not in front");
  return Pass(figure, "no key went into the dialog; the frame waited for it to close");
}

}  // namespace focura::check
