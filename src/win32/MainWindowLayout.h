#pragma once
// The main window's tables turned into pixels, window styles and a menu bar.

#include <windows.h>

#include <map>

#include "ui/Controls.h"

namespace focura::win32 {

int TwipsToPixels(int twips, int dpi);
// The control's rectangle in client pixels.
RECT ControlRect(const ControlSpec& control, int dpi);

// `design` (laid out for a client area `designClientWidth` wide) with its right edge following
// the client's right edge when the operator widens the window; never narrower than designed.
RECT WidenedWithClient(const RECT& design, int designClientWidth, int clientWidth);

const wchar_t* ControlClass(ControlKind kind);
DWORD ControlStyle(ControlKind kind);
// The style of this control: its kind's, with what the status line needs on top.
DWORD ControlStyle(const ControlSpec& control);
DWORD ControlExStyle(ControlKind kind);

struct MenuBar {
  HMENU bar = nullptr;
  std::map<Control, HMENU> popups;  // by the menu that opens them
};
// The menu bar in table order: separators, submenus and command ids as listed.
MenuBar BuildMenuBar();

}  // namespace focura::win32
