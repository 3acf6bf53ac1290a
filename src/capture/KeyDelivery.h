#pragma once
// Sending keys so that they either arrive or the operator is told: a program running with higher
// rights than the tool silently drops them, an insertion cut short could leave a modifier held,
// and a busy program may take its keys late.

#include <cstdint>
#include <optional>
#include <string>

#include "capture/KeyStroke.h"

namespace focura {

// Mandatory integrity levels, in the order the system ranks them.
enum class Integrity : uint32_t {
  Untrusted = 0,
  Low = 0x1000,
  Medium = 0x2000,
  High = 0x3000,
  System = 0x4000
};

// Whether keys sent by a program at `own` reach a program at `target` (nullopt: unknown). The
// system drops input to a higher level without a word. A level that cannot be read means the
// program is protected from this one, so it counts as higher unless this one runs high itself.
bool KeysCanReach(std::optional<uint32_t> own, std::optional<uint32_t> target);

// The keyboard as the delivery uses it.
class KeyboardPort {
 public:
  virtual ~KeyboardPort() = default;
  // Integrity level of this program, and of the program whose window has the focus; nullopt when
  // it cannot be read. `focusIsOwn` is set when the focus is in this program.
  virtual std::optional<uint32_t> OwnIntegrity() = 0;
  virtual std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) = 0;
  // Inserts the keys into the input stream; false, with the system's reason, when fewer events
  // went in than asked.
  virtual bool Insert(const KeyStrokes& keys, std::string& failure) = 0;
  // Lets go of Shift, Ctrl and Alt.
  virtual void ReleaseModifiers() = 0;
  // Waits until the program with the focus has taken and handled the keys; false when it did not
  // within `ms`.
  virtual bool WaitProcessed(uint32_t ms) = 0;
};

inline constexpr uint32_t kKeysProcessedWaitMs = 5000;

// Sends the keys to the window with the focus and returns once they were handled. Throws
// PlatformError, having sent nothing, when they could not arrive; having released the
// modifiers, when they could not all be sent; when they were not handled in time.
void DeliverKeys(KeyboardPort& keyboard, const KeyStrokes& keys);

}  // namespace focura
