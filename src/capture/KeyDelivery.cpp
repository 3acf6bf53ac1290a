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

void DeliverKeys(KeyboardPort& keyboard, const KeyStrokes& keys) {
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
    throw PlatformError("The keys could not be sent: " + failure);
  }
  if (!keyboard.WaitProcessed(kKeysProcessedWaitMs)) {
    throw PlatformError("The program in front did not take its keys within " +
                        std::to_string(kKeysProcessedWaitMs / 1000) + " s");
  }
}

}  // namespace focura
