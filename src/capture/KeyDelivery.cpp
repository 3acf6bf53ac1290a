#include "capture/KeyDelivery.h"

#include <string>

#include "capture/PlatformError.h"

namespace focura {

bool KeysCanReach(std::optional<uint32_t> own, std::optional<uint32_t> target) {
  if (!own)
    return true;  // nothing to compare with: the system would not tell either
  if (!target)
    return *own >= static_cast<uint32_t>(Integrity::High);
  return *target <= *own;
}

namespace {

void WaitTaken(KeyboardPort& keyboard, Clock& clock, KeyWaitWatcher& watcher) {
  AwaitedShown shown(watcher);
  const uint32_t start = clock.NowMs();
  bool watched = !keyboard.Watching();
  for (;;) {
    if (!watched) {
      watched = keyboard.WaitWatched(kKeysLookMs);
      // The system passes a key on without a hook that is too slow and removes that hook: once
      // the input stage has moved on without the watch seeing our keys, the watch is gone.
      if (!watched && clock.NowMs() - start >= kKeyHookGraceMs && keyboard.InputStageMoved()) {
        keyboard.RenewWatch();
        watched = true;
      }
    }
    if (watched) {
      switch (keyboard.WaitHandled(kKeysLookMs)) {
        case KeysHandled::Yes:
          return;
        case KeysHandled::WindowGone:
          if (keyboard.Target() != KeyTarget::Ended)
            return;  // its program lives on without that window: nothing is left to handle
          break;
        case KeysHandled::NotYet:
          break;
      }
    }
    const uint32_t waited = clock.NowMs() - start;
    // A program that does not answer may be busy with a long exposure or a download on its
    // window's thread: only its end or the bound gives its keys up.
    const KeyTarget target = keyboard.Target();
    if (target == KeyTarget::Ended)
      throw PlatformError("The program in front ended before it took its keys");
    if (waited >= kKeysWaitBoundMs) {
      const std::string bound = std::to_string(kKeysWaitBoundMs / 1000) + " s";
      if (target == KeyTarget::Hung) {
        throw PlatformError(
            "The program in front was not responding and did not take its keys within " + bound);
      }
      throw PlatformError("The program in front did not take its keys within " + bound);
    }
    shown.After(waited);
  }
}

}  // namespace

void DeliverKeys(KeyboardPort& keyboard, Clock& clock, KeyWaitWatcher& watcher,
                 const KeyStrokes& keys) {
  if (keys.empty())
    return;
  bool focusIsOwn = false;
  const std::optional<uint32_t> target = keyboard.FocusIntegrity(focusIsOwn);
  if (!focusIsOwn && !KeysCanReach(keyboard.OwnIntegrity(), target)) {
    throw PlatformError(
        "The program in front runs with administrator rights and would not receive the keys; "
        "start the capture program without administrator rights");
  }
  std::string failure;
  if (!keyboard.Insert(keys, failure)) {
    keyboard.ReleaseModifiers();
    throw KeysNotSent("The keys could not be sent: " + failure);
  }
  WaitTaken(keyboard, clock, watcher);
}

}  // namespace focura
