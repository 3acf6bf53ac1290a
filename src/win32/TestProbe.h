#pragma once
// What an external test driver relies on to find and inspect the main window. A menu's check
// state cannot be read from another process under Wine, so the window answers a private message
// with it.

#include <windows.h>

namespace focura::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"FocuraAcquisitionMain";

// SendMessage(mainWindow, kProbeMenuChecked, menuCommandId, 0) returns 1 when the menu item
// carries a check mark, 0 when not, -1 when the window has no such item.
inline constexpr UINT kProbeMenuChecked = WM_APP + 1;

// SendMessage(mainWindow, kProbeTipText, controlId, 0) returns the address, in the window's
// process, of a buffer of 2048 wide characters that holds the control's tooltip text (ended by a
// zero): read it with ReadProcessMemory. The run button's live tip included.
inline constexpr UINT kProbeTipText = WM_APP + 3;

}  // namespace focura::win32
