#pragma once
// Enter on a focused push button clicks it. Outside a dialog the dialog manager turns Enter
// into IDOK unless the focused button is the default one, and which one that is depends on how
// the focus arrived (Tab, mouse, program, reactivation); this takes the key before it does.

#include <windows.h>

namespace focura::win32 {

// When `msg` is Enter pressed on an enabled push button inside `window`, clicks that button
// (BN_CLICKED to `window`, as a mouse click sends it) and returns true. Auto-repeats of a held
// Enter are taken without a click. Any other message: false, untouched.
bool ClickFocusedButtonOnEnter(HWND window, const MSG& msg);

}  // namespace focura::win32
