#pragma once
// Snapshots of the Windows desktop: the running processes and the top-level windows, numbered in
// the order they were first seen, with the taskbar flashes the shell reported. Processes the view
// holds cannot have their ids reused; once one of them has ended it is listed as ended.

#include <windows.h>

#include <map>
#include <memory>

#include "capture/TaskWindow.h"
#include "win32/Owned.h"

namespace focura::win32 {

class FlashWatch;

class Win32DesktopView : public DesktopView {
 public:
  Win32DesktopView();
  ~Win32DesktopView() override;
  Win32DesktopView(const Win32DesktopView&) = delete;
  Win32DesktopView& operator=(const Win32DesktopView&) = delete;

  DesktopSnapshot Snapshot() override;

  // Keeps the handle (taken over) of a process this program started, for the view's life.
  void Hold(DWORD processId, UniqueHandle process, const std::string& exeName);
  // Opens and holds a process seen in a snapshot; false when it is no longer the process seen
  // there (ended, or its id already taken by another).
  bool HoldSeen(const ProcessEntry& seen);
  bool Holds(DWORD processId) const { return held_.count(processId) != 0; }

 private:
  struct Held {
    UniqueHandle handle;
    ProcessEntry entry;
  };
  std::map<DWORD, Held> held_;
  std::map<HWND, uint64_t> appeared_;
  uint64_t seen_ = 0;
  std::unique_ptr<FlashWatch> flashes_;
};

// A process's creation time, 0 when it cannot be read.
uint64_t CreationTime(HANDLE process);

}  // namespace focura::win32
