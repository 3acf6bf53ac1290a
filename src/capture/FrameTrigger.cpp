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
  ActivateOrThrow(ports.desktop, task, label);
  ports.delay.WaitMs(settings.KeyDelayMs);
  if (keys.empty())
    return;

  // Typing a capture key into another program could do anything there. A program that took the
  // front may take it straight back after our second activation, so the capture program must
  // still hold it after a settle time before a key goes out.
  const auto settle = [&] { ports.delay.WaitMs(std::max(settings.KeyDelayMs, kRefocusSettleMs)); };
  if (!HoldsFront(ports.desktop, task, label, settle))
    ThrowWithLock(ports.desktop, task, label.name + " is not in front; no key was sent");
  try {
    ports.desktop.SendKeys(keys, ports.report);
  } catch (const KeysNotSent& e) {
    ThrowWithLock(ports.desktop, task, e.what());
  }
}

}  // namespace focura
