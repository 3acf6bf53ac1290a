#pragma once
// Finding and reading windows of other processes: top-level windows by caption, class and owning
// process; texts through WM_GETTEXT, which reaches edit and static controls across processes.

#include "desktop/Win32Text.h"

#include <string>
#include <vector>

namespace focura::desktop {

// Visible top-level windows, optionally only those of process `pid` (0: any).
std::vector<HWND> TopLevelWindows(unsigned long pid = 0);
// The first visible top-level window with this exact caption (and process, when not 0; and
// window class, when not empty).
HWND FindTopLevel(const std::string& caption, unsigned long pid = 0,
                  const std::string& className = {});
// The first visible top-level window of this window class (and process, when not 0).
HWND FindTopLevelByClass(const std::string& className, unsigned long pid = 0);
// Waits up to `ms` for FindTopLevel; nullptr when it never appears.
HWND WaitForTopLevel(const std::string& caption, unsigned long pid, unsigned ms,
                     const std::string& className = {});

unsigned long ProcessOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
// WM_GETTEXT, sent; it is handled when the owning thread next takes messages, so a busy program
// answers late. Throws when no answer comes within `ms`.
std::string TextOf(HWND hwnd, unsigned ms = 20000);
// Child windows of `parent` (all depths) of this window class.
std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className);
// Whether the thread that owns `hwnd` takes a sent message within `ms`: false while it is busy
// (inside a busy wait, for instance).
bool Responsive(HWND hwnd, unsigned ms);

}  // namespace focura::desktop
