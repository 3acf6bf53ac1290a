#pragma once
// Watches injected keys pass the system's input stage, on a thread of its own: once a key has
// passed, it is on its way into the focused program's queue. Keys of ours carry a tag in their
// extra information, so that they are told apart from the operator's typing.

#include <windows.h>

#include <atomic>
#include <thread>

namespace focura::win32 {

inline constexpr ULONG_PTR kKeyTag = 0x46435241;  // marks the events this program inserts

class KeyWatch {
 public:
  KeyWatch();
  ~KeyWatch();
  KeyWatch(const KeyWatch&) = delete;
  KeyWatch& operator=(const KeyWatch&) = delete;

  // Whether the watch is in place (a low-level keyboard hook could be set).
  bool Active() const { return hooked_.load(); }
  // How many tagged events have passed so far.
  uint64_t Passed() const;
  // Waits until Passed() reaches `count`; false after `ms`.
  bool WaitPassed(uint64_t count, DWORD ms) const;
  // Sets the hook again: the system removes a low-level hook that once took too long, without
  // telling it. Returns once the new hook is in place (or could not be set).
  void Renew();
  // How often the hook was set again.
  int Renewals() const { return renewals_.load(); }

 private:
  void Run();

  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
  std::atomic<bool> hooked_{false};
  std::atomic<int> renewals_{0};
  HANDLE ready_ = nullptr;
  HANDLE renewed_ = nullptr;
  HANDLE passed_ = nullptr;  // set whenever a tagged event passes
};

}  // namespace focura::win32
