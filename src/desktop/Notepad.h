#pragma once
// The system's plain-text editor as the log view opens it: found by its window class, its text
// read from its edit control.

#include "desktop/Win32Text.h"

#include <set>
#include <string>

namespace focura::desktop {

// The editor windows open now.
std::set<HWND> NotepadWindows();

struct NotepadView {
  HWND window = nullptr;
  unsigned long pid = 0;
  std::string text;
};

// Waits for an editor window not in `before` whose text is non-empty and has stopped changing;
// `window` stays nullptr when none appeared within `ms`.
NotepadView WaitForNewNotepad(const std::set<HWND>& before, unsigned ms);

// Ends the editor without saving (its document is unsaved by design).
void EndNotepad(const NotepadView& view);

}  // namespace focura::desktop
