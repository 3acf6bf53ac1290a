#include "capture/FrameTrigger.h"

#include <algorithm>
#include <optional>
#include <string>

#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "capture/KeyDelivery.h"
#include "capture/KeyNotation.h"
#include "capture/TriggerPulse.h"
#include "text/Errors.h"
#include "zserver/Commands.h"

namespace focura {

namespace {

// The least time a re-activated capture program must keep the front before its key is sent.
constexpr int32_t kRefocusSettleMs = 50;

// The capture program's key in key notation, or nothing for a method without one.
std::optional<std::string> KeyOf(const ZAcq& acq) {
  const CaptureMethod* method = FindCaptureMethod(acq.CaptureType);
  if (method == nullptr)
    return std::nullopt;
  switch (method->keyRule) {
    case CaptureKeyRule::Fixed:
      return std::string(method->key);
    case CaptureKeyRule::ByFujiKey:
      if (acq.FujiKey == 1)
        return " ";
      if (acq.FujiKey == 2)
        return "{ENTER}";
      return std::nullopt;
    case CaptureKeyRule::CaptureKey:
      return acq.CaptureKey;
    case CaptureKeyRule::None:
      break;
  }
  return std::nullopt;
}

// Asks the task's window to the front; a program that has ended or shows no window gets no key.
void Activate(ZAcq& acq, int32_t task) {
  const std::string name = "The capture program (task " + std::to_string(task) + ")";
  switch (acq.Desk.ActivateTask(task)) {
    case TaskActivation::Asked:
      return;
    case TaskActivation::NoWindow:
      throw PlatformError(name + " shows no window; no key was sent");
    case TaskActivation::Ended:
      throw PlatformError(name + " has ended");
  }
}

// While the desktop is locked (or a secure screen saver runs) the system's own desktop takes the
// input: no window can come to the front and keys go nowhere. The operator must learn that, not
// that some window kept the front.
[[noreturn]] void ThrowWithLock(ZAcq& acq, int32_t task, const std::string& otherwise) {
  if (acq.Desk.DesktopLocked()) {
    throw PlatformError("The desktop is locked; the capture program (task " + std::to_string(task) +
                        ") got no key");
  }
  throw PlatformError(otherwise);
}

}  // namespace

void CaptureFrame(ZAcq& acq) {
  if (acq.CaptureTaskId == 0)
    return;

  if (acq.CaptureType == kCaptureHardware) {
    PulseTrigger(acq);
    return;
  }

  // A malformed custom key is reported before the capture program is disturbed.
  const std::optional<std::string> key = KeyOf(acq);
  const KeyStrokes keys = key ? ParseKeys(*key) : KeyStrokes{};

  const int32_t task = acq.CaptureTaskId;
  Activate(acq, task);
  acq.Delay.WaitMs(acq.KeyDelayMs);
  if (keys.empty())
    return;

  // Keys go to whatever window has the focus: typing a capture key into another program could do
  // anything there, so the key is sent only when the capture program is in front. A program that
  // took the front may take it straight back after our second activation, so the capture program
  // must still hold it after a settle time before a key goes out.
  if (!acq.Desk.IsTaskForeground(task)) {
    Activate(acq, task);
    acq.Delay.WaitMs(std::max(acq.KeyDelayMs, kRefocusSettleMs));
    if (!acq.Desk.IsTaskForeground(task)) {
      ThrowWithLock(acq, task,
                    "The capture program (task " + std::to_string(task) +
                        ") is not in front; no key was sent");
    }
  }
  try {
    acq.Desk.SendKeys(keys, acq.ProgressShown());
  } catch (const KeysNotSent& e) {
    ThrowWithLock(acq, task, e.what());
  }
}

}  // namespace focura
