#pragma once
// The keyboard of the Windows desktop as the key delivery uses it: integrity levels, SendInput,
// and the wait until the focused program has handled what was sent.

#include <windows.h>

#include "capture/KeyDelivery.h"
#include "win32/KeyWatch.h"

namespace focura::win32 {

class Win32Keyboard : public KeyboardPort {
 public:
  Win32Keyboard() = default;
  ~Win32Keyboard() override;
  Win32Keyboard(const Win32Keyboard&) = delete;
  Win32Keyboard& operator=(const Win32Keyboard&) = delete;

  std::optional<uint32_t> OwnIntegrity() override;
  std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) override;
  bool Insert(const KeyStrokes& keys, std::string& failure) override;
  void ReleaseModifiers() override;
  // The keys pass the input stage, watched by a low-level hook; then the focused window's thread
  // comes back for a message once more than there were events: each return to its message loop
  // means the message taken before was handled.
  bool Watching() override;
  bool WaitWatched(uint32_t ms) override;
  // The system's last-input time (GetLastInputInfo) is not before the insertion.
  bool InputStageMoved() override;
  void RenewWatch() override;
  KeysHandled WaitHandled(uint32_t ms) override;
  // Ended: the process of the window the keys went to has ended; Hung: IsHungAppWindow.
  KeyTarget Target() override;

  const KeyWatch& Watch() const { return watch_; }

 private:
  KeyWatch watch_;
  std::optional<uint32_t> ownIntegrity_;
  bool ownIntegrityRead_ = false;
  uint64_t passedTarget_ = 0;
  UINT inserted_ = 0;
  UINT roundTrips_ = 0;
  DWORD insertedAt_ = 0;
  HWND target_ = nullptr;
  HANDLE targetProcess_ = nullptr;  // SYNCHRONIZE access, to see it end
};

// The mandatory integrity level of a process; nullopt when its token cannot be read.
std::optional<uint32_t> ProcessIntegrity(HANDLE process);

}  // namespace focura::win32
