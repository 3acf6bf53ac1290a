#pragma once
// A caption as its control draws it, measured in the font the control really got: shared by the
// window's caption tests and the PC check, which measures the window at the PC's own DPI.

#include <windows.h>

#include <string>

#include "ui/Controls.h"

namespace focura::win32 {

RECT RectInParent(HWND control);

struct Measured {
  std::wstring face;
  LOGFONTW asked{};
  RECT room{};  // where the caption may go
  RECT need{};  // what it takes, wrapped at the room's width
};

// The caption as the control draws it: in its own font, wrapped at its own width.
Measured Measure(HWND control, const ControlSpec& c, int dpi);

}  // namespace focura::win32
