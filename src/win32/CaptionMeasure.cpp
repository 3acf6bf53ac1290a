#include "win32/CaptionMeasure.h"

#include "win32/CaptionLayout.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace focura::win32 {

RECT RectInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

Measured Measure(HWND control, const ControlSpec& c, int dpi) {
  Measured m;
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  GetObjectW(font, sizeof m.asked, &m.asked);
  const UniqueWindowDc owner(control, font);
  HDC dc = owner.get();
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, face);
  m.face = face;
  GetClientRect(control, &m.room);
  UINT format = DT_WORDBREAK | DT_CALCRECT;
  if (c.kind == ControlKind::Button) {
    // Inside the frame and the focus rectangle.
    const int inset = ButtonTextInset(control, dpi);
    InflateRect(&m.room, -inset, -inset);
    format |= DT_CENTER;
  } else {
    format |= DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
  }
  m.need = RECT{0, 0, m.room.right - m.room.left, 0};
  const std::wstring caption = Widen(c.caption);
  DrawTextW(dc, caption.c_str(), -1, &m.need, format);
  return m;
}

}  // namespace focura::win32
