#pragma once
// The keyboard of the Windows desktop as the key delivery uses it: integrity levels, SendInput,
// and the wait until the focused program has handled what was sent.

#include <windows.h>

#include "capture/KeyDelivery.h"
#include "win32/KeyWatch.h"

namespace focura::win32 {

class Win32Keyboard : public KeyboardPort {
 public:
  std::optional<uint32_t> OwnIntegrity() override;
  std::optional<uint32_t> FocusIntegrity(bool& focusIsOwn) override;
  bool Insert(const KeyStrokes& keys, std::string& failure) override;
  void ReleaseModifiers() override;
  // The keys have passed the input stage (watched by a low-level hook), then the focused window's
  // thread has come back for a message once more than there were events: each return to its
  // message loop means the message taken before was handled.
  bool WaitProcessed(uint32_t ms) override;

 private:
  KeyWatch watch_;
  uint64_t passedTarget_ = 0;
  UINT inserted_ = 0;
  HWND target_ = nullptr;
};

// The mandatory integrity level of a process; nullopt when its token cannot be read.
std::optional<uint32_t> ProcessIntegrity(HANDLE process);

}  // namespace focura::win32
