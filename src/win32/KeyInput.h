#pragma once
// Key strokes as the input events SendInput takes: virtual keys with their scan codes, so that
// programs watching WM_KEYDOWN see real keys (a blank is the space bar, not a Unicode packet).

#include <windows.h>

#include <vector>

#include "capture/KeyStroke.h"

namespace focura::win32 {

// 0 for NamedKey::None.
WORD VirtualKeyOf(NamedKey key);
// Keys that live in the extended block (arrows, Ins/Del, Home/End, PgUp/PgDn, numpad Divide).
bool IsExtendedKey(WORD vk);

// Each stroke becomes: modifiers down, key down, key up, modifiers up. A character is typed
// with the shift state the keyboard layout needs for it, except a letter under Ctrl or Alt, which
// is its letter key with only the modifiers given; a character the layout has no key for is sent
// as a Unicode packet.
std::vector<INPUT> KeyInputs(const KeyStrokes& keys);

}  // namespace focura::win32
