#include "capture/FrameTrigger.h"

#include <algorithm>
#include <optional>
#include <string>

#include "capture/CaptureMethods.h"
#include "capture/Desktop.h"
#include "capture/KeyDelivery.h"
#include "capture/KeyNotation.h"
#include "capture/PlatformError.h"
#include "capture/TaskFront.h"
#include "capture/TriggerPulse.h"
#include "wait/Delay32.h"
#include "zserver/Commands.h"
#include "zserver/ZServer.h"

namespace focura {

namespace {

// The least time a re-activated capture program must keep the front before its key is sent.
constexpr int32_t kRefocusSettleMs = 50;

// The capture program's key in key notation, or nothing for a method without one.
std::optional<std::string> KeyOf(const FrameSettings& settings) {
  const CaptureMethod* method = FindCaptureMethod(settings.CaptureType);
  if (method == nullptr)
    return std::nullopt;
  switch (method->keyRule) {
    case CaptureKeyRule::Fixed:
      return std::string(method->key);
    case CaptureKeyRule::ByFujiKey:
      if (settings.FujiKey == 1)
        return " ";
      if (settings.FujiKey == 2)
        return "{ENTER}";
      return std::nullopt;
    case CaptureKeyRule::CaptureKey:
      return settings.CaptureKey;
    case CaptureKeyRule::None:
      break;
  }
  return std::nullopt;
}

TaskLabel CaptureProgram(int32_t task) {
  return {"The capture program (task " + std::to_string(task) + ")", "; no key was sent"};
}

// While the desktop is locked (or a secure screen saver runs) the system's own desktop takes the
// input: no window can come to the front and keys go nowhere. The operator must learn that, not
// that some window kept the front.
[[noreturn]] void ThrowWithLock(Desktop& desktop, int32_t task, const std::string& otherwise) {
  if (desktop.DesktopLocked()) {
    throw PlatformError("The desktop is locked; the capture program (task " + std::to_string(task) +
                        ") got no key");
  }
  throw PlatformError(otherwise);
}

// Waits while `blocker` names what keeps the program from its key (nullopt: nothing does), as for
// a busy program's keys, up to the same bound; then fails with `failure` of what it named last.
template <typename Blocker, typename Failure>
void WaitWhileBlocked(const FramePorts& ports, Blocker&& blocker, Failure&& failure) {
  AwaitedShown shown(ports.report);
  const uint32_t start = ports.delay.Now();
  while (const std::optional<std::string> what = blocker()) {
    const uint32_t waited = Delay32::Elapsed(start, ports.delay.Now());
    if (waited >= kKeysWaitBoundMs)
      throw PlatformError(failure(*what));
    shown.After(waited);
    ports.delay.WaitMs(static_cast<int32_t>(kKeysLookMs));
  }
}

const std::string kBoundText = std::to_string(kKeysWaitBoundMs / 1000) + " s";

// A dialog of the capture program (card full, busy, an error) disables its main window, and a
// key would press the dialog's default button: the frame waits for the dialog to go, and then
// fails with the dialog's title.
void WaitWhileDialog(const FramePorts& ports, int32_t task, const TaskLabel& label) {
  WaitWhileBlocked(
      ports, [&] { return ports.desktop.TaskDialog(task); },
      [&](const std::string& dialog) {
        return label.name + " shows the dialog \"" + dialog + "\" and took no key for " +
               kBoundText + "; no key was sent";
      });
}

// A program still busy on its window's thread from the last frame (an image download) cannot be
// brought to the front: the system shows a stand-in window for it instead.
void WaitWhileNotResponding(const FramePorts& ports, int32_t task, const TaskLabel& label) {
  WaitWhileBlocked(
      ports,
      [&]() -> std::optional<std::string> {
        if (ports.desktop.TaskResponding(task))
          return std::nullopt;
        return std::string();
      },
      [&](const std::string&) {
        return label.name + " was not responding for " + kBoundText + "; no key was sent";
      });
}

}  // namespace

void CaptureFrame(const FrameSettings& settings, const FramePorts& ports) {
  if (settings.CaptureTaskId == 0)
    return;

  if (settings.CaptureType == kCaptureHardware) {
    PulseTrigger(settings.TriggerHoldMs, ports);
    return;
  }

  // A malformed custom key is reported before the capture program is disturbed.
  const std::optional<std::string> key = KeyOf(settings);
  const KeyStrokes keys = key ? ParseKeys(*key) : KeyStrokes{};

  const int32_t task = settings.CaptureTaskId;
  const TaskLabel label = CaptureProgram(task);
  if (!keys.empty())
    WaitWhileNotResponding(ports, task, label);
  ActivateOrThrow(ports.desktop, task, label);
  ports.delay.WaitMs(settings.KeyDelayMs);
  if (keys.empty())
    return;

  // Typing a capture key into another program could do anything there. A program that took the
  // front may take it straight back after our second activation, so the capture program must
  // still hold it after a settle time before a key goes out.
  const auto settle = [&] { ports.delay.WaitMs(std::max(settings.KeyDelayMs, kRefocusSettleMs)); };
  WaitWhileDialog(ports, task, label);
  bool inFront = HoldsFront(ports.desktop, task, label, settle);
  // A dialog that opened meanwhile is waited out once more, then the front asked for again.
  if (!inFront && ports.desktop.TaskDialog(task)) {
    WaitWhileDialog(ports, task, label);
    inFront = HoldsFront(ports.desktop, task, label, settle);
  }
  if (!inFront)
    ThrowWithLock(ports.desktop, task, label.name + " is not in front; no key was sent");
  try {
    ports.desktop.SendKeys(keys, ports.report);
  } catch (const KeysNotSent& e) {
    ThrowWithLock(ports.desktop, task, e.what());
  }
}

}  // namespace focura
