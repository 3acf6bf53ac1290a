#pragma once
// Sending keys so that they either arrive or the operator is told: a program running with higher
// rights than the tool silently drops them, an insertion cut short could leave a modifier held,
// and a busy program may take its keys late: it is waited for as long as it lives and answers.

#include <cstdint>
#include <optional>
#include <string>

#include "capture/Desktop.h"
#include "capture/KeyStroke.h"
#include "capture/PlatformError.h"
#include "text/Errors.h"
#include "wait/Clock.h"

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

// What a look at the program the keys went to finds.
enum class KeyTarget { Alive, Hung, Ended };

// How far the round trips to the window the keys went to have come.
enum class KeysHandled { Yes, NotYet, WindowGone };

// The keyboard as the delivery uses it. The wait for the keys is made of looks, each of which
// waits a short while, so that the delivery can judge between them.
class KeyboardPort {
 public:
  virtual ~KeyboardPort() = default;
  // Integrity level of this program, and of the program whose window has the focus; nullopt when
  // it cannot be read. `focusIsOwn` is set when the focus is in this program.
  virtual std::optional<uint32_t> OwnIntegrity() = 0;
  virtual std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) = 0;
  // Inserts the keys into the input stream, towards the window that has the focus; false, with
  // the system's reason, when fewer events went in than asked.
  virtual bool Insert(const KeyStrokes& keys, std::string& failure) = 0;
  // Lets go of Shift, Ctrl and Alt.
  virtual void ReleaseModifiers() = 0;
  // Whether a watch on the system's input stage is in place (a low-level keyboard hook).
  virtual bool Watching() = 0;
  // Waits up to `ms` until the watch has seen every event of the last insertion pass; true
  // once it has.
  virtual bool WaitWatched(uint32_t ms) = 0;
  // Whether the system's input stage has taken input since the last insertion.
  virtual bool InputStageMoved() = 0;
  // Sets the watch up again, for a hook the system removed without a word.
  virtual void RenewWatch() = 0;
  // Goes on with the round trips to the window the keys went to for up to `ms`: Yes once its
  // thread has come back to its message loop more often than there were events.
  virtual KeysHandled WaitHandled(uint32_t ms) = 0;
  // The program the keys went to: running, not responding (the system's own test), or ended.
  virtual KeyTarget Target() = 0;
};

// The keys could not all be inserted into the input stream.
struct KeysNotSent : PlatformError {
  using PlatformError::PlatformError;
};

// One look of the wait.
inline constexpr uint32_t kKeysLookMs = 250;
// A wait this long is shown to the operator (the taskbar button), who sees why the run stands.
inline constexpr uint32_t kKeysShownAfterMs = 3000;
// A program that takes longer than this over its keys is taken to be stuck (a long exposure or
// an image download is over well before). A program busy on its window's thread counts as not
// responding to the system after 5 s, and is waited for all the same up to this bound.
inline constexpr uint32_t kKeysWaitBoundMs = 120000;
// The longest a working low-level hook can hold a key: the system passes the key on after
// LowLevelHooksTimeout (at most 1 s since Windows 10) and then removes the hook.
inline constexpr uint32_t kKeyHookGraceMs = 1000;

// Tells the watcher once a wait has lasted kKeysShownAfterMs, and again when it is over however it
// ends: the frame's waits for its program and the wait for its keys.
class AwaitedShown {
 public:
  explicit AwaitedShown(KeyWaitWatcher& watcher) : watcher_(watcher) {}
  ~AwaitedShown() {
    if (shown_)
      watcher_.KeysAwaited(false);
  }
  AwaitedShown(const AwaitedShown&) = delete;
  AwaitedShown& operator=(const AwaitedShown&) = delete;
  void After(uint32_t waited) {
    if (!shown_ && waited >= kKeysShownAfterMs) {
      shown_ = true;
      watcher_.KeysAwaited(true);
    }
  }

 private:
  KeyWaitWatcher& watcher_;
  bool shown_ = false;
};

// Sends the keys to the window with the focus and returns once they were handled. Throws
// PlatformError, having sent nothing, when they could not arrive; KeysNotSent, having released
// the modifiers, when they could not all be sent; when the program ended, or passed the bound
// (not responding or not) before it took them. Waits as long as the program lives and answers,
// telling `watcher` once the wait has lasted kKeysShownAfterMs and again when it is over. A watch
// that stays silent while the input stage took the keys was removed by the system: it is set up
// again and the wait goes on with the round trips alone.
void DeliverKeys(KeyboardPort& keyboard, Clock& clock, KeyWaitWatcher& watcher,
                 const KeyStrokes& keys);

}  // namespace focura
