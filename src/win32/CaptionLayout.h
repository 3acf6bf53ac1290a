#pragma once
// The controls' font and their rectangles with room for every caption in it, for one DPI.

#include <windows.h>

#include <vector>

#include "ui/Controls.h"

namespace focura::win32 {

// The face and size the twips layout was drawn for. A face the system lacks is replaced by its
// substitute; ask the device context for the face really used.
inline constexpr wchar_t kDialogFace[] = L"MS Shell Dlg 2";
inline constexpr int kDialogPoints = 8;

// The dialog face at its size for `dpi`; the caller deletes it. Null when the system has no font.
HFONT CreateDialogFont(int dpi);

// Room a push button keeps between its edge and its caption on every side: the content margin of
// the visual style it is drawn with, and never less than a classic frame, focus rectangle and the
// space inside that.
int ButtonTextInset(HWND button, int dpi);
// The same for the push buttons `parent` would create now (asked of a hidden one).
int NewButtonTextInset(HWND parent, int dpi);

// DrawText flags with which a control of this kind lays out its caption, word wrap included.
UINT CaptionFormat(ControlKind kind);

struct ControlPlace {
  const ControlSpec* spec;
  RECT rect;                // client pixels
  bool captionFits = true;  // false: the full caption is shown in a tooltip instead
};

// Every control of the main window in table order, grown where its caption in `font` needs it.
std::vector<ControlPlace> PlaceControls(HFONT font, int dpi, int buttonInset);

}  // namespace focura::win32
