// The main window at 96, 120, 144 and 192 dpi: every caption measured in the font its control
// really got fits inside the control, and no two controls overlap. The DPI is given to the window
// as it would come from the system, so fonts, layout and fitting run exactly as in the program.

#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <iostream>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "win32/CaptionLayout.h"
#include "win32/CaptionMeasure.h"
#include "win32/MainWindow.h"
#include "win32/MainWindowLayout.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

TEST(MainWindowCaptions, EveryCaptionFitsItsControlAndNoControlsOverlapAtFourDpis) {
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("dpi " + std::to_string(dpi));
    MainWindow w(GetModuleHandleW(nullptr), dpi);
    ASSERT_EQ(w.Dpi(), dpi);
    std::vector<std::pair<const ControlSpec*, RECT>> rects;
    for (const ControlSpec& c : MainControls()) {
      HWND h = w.ControlWindow(c.control);
      ASSERT_NE(h, nullptr) << c.name;
      const RECT r = RectInParent(h);
      rects.emplace_back(&c, r);
      const Measured m = Measure(h, c, dpi);
      EXPECT_STREQ(m.asked.lfFaceName, kDialogFace) << c.name;
      EXPECT_EQ(m.asked.lfHeight, -MulDiv(8, dpi, 72)) << c.name;
      EXPECT_FALSE(m.face.empty()) << c.name;
      // Buttons and text boxes never shrink; a label gives up at most a strip it shared.
      const RECT design = ControlRect(c, dpi);
      if (c.kind != ControlKind::Label) {
        EXPECT_TRUE(r.left <= design.left && r.top <= design.top && r.right >= design.right &&
                    r.bottom >= design.bottom)
            << c.name;
      }
      if (c.caption.empty() || c.kind == ControlKind::TextBox)
        continue;
      const int roomW = m.room.right - m.room.left;
      const int roomH = m.room.bottom - m.room.top;
      EXPECT_LE(m.need.right - m.need.left, roomW) << c.name << " in " << Narrow(m.face);
      EXPECT_LE(m.need.bottom - m.need.top, roomH) << c.name << " in " << Narrow(m.face);
      EXPECT_EQ(w.TipText(c.control), L"") << c.name << " needed its tooltip";
      if (c.kind == ControlKind::Button) {
        // The styled button's own measure of its caption at its width, margins included: what
        // it really draws.
        SIZE ideal{r.right - r.left, 0};
        if (SendMessageW(h, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) != FALSE &&
            ideal.cy > 0) {
          EXPECT_LE(ideal.cy, r.bottom - r.top) << c.name << " as the button measures it";
          if (c.control == Control::cmdLaunchCapture) {
            std::cout << "dpi " << dpi << ": the launch button needs " << ideal.cy << " of its "
                      << r.bottom - r.top << " px, top " << r.top << "\n";
          }
        }
      }
      if (design.left != r.left || design.top != r.top || design.right != r.right ||
          design.bottom != r.bottom) {
        std::cout << "dpi " << dpi << " " << Narrow(m.face) << ": " << c.name << " "
                  << design.right - design.left << "x" << design.bottom - design.top << " -> "
                  << r.right - r.left << "x" << r.bottom - r.top << " at " << r.left << "," << r.top
                  << "; caption " << m.need.bottom - m.need.top << " high in " << roomH << "\n";
      }
    }
    for (size_t i = 0; i < rects.size(); ++i) {
      for (size_t j = i + 1; j < rects.size(); ++j) {
        RECT common{};
        EXPECT_FALSE(IntersectRect(&common, &rects[i].second, &rects[j].second))
            << rects[i].first->name << " overlaps " << rects[j].first->name;
      }
    }
  }
}

// Windows gives the dialog face Tahoma, wider than the face Wine substitutes here. DejaVu Sans,
// wider still, stands for it: the layout grows what it can, never into another control, and says
// which captions still do not fit (the window shows those whole in a tooltip).
TEST(MainWindowCaptions, AWiderFaceGetsRoomTooWithoutOverlaps) {
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("dpi " + std::to_string(dpi));
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(8, dpi, 72);
    lstrcpyW(lf.lfFaceName, L"DejaVu Sans");
    const UniqueFont owned(CreateFontIndirectW(&lf));
    HFONT font = owned.get();
    const UniqueWindowDc screen(nullptr, font);
    HDC dc = screen.get();
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    if (std::wstring(face) != L"DejaVu Sans") {
      GTEST_SKIP() << "no DejaVu Sans in this prefix";
    }
    MainWindow w(GetModuleHandleW(nullptr), dpi);
    const int inset = NewButtonTextInset(w.Handle(), dpi);
    const auto places = PlaceControls(font, dpi, inset);
    for (size_t i = 0; i < places.size(); ++i) {
      const ControlSpec& c = *places[i].spec;
      RECT room = places[i].rect;
      if (c.kind == ControlKind::Button)
        InflateRect(&room, -inset, -inset);
      if (!c.caption.empty() && c.kind != ControlKind::TextBox) {
        RECT need{0, 0, room.right - room.left, 0};
        const std::wstring caption = Widen(c.caption);
        DrawTextW(dc, caption.c_str(), -1, &need, DT_CALCRECT | CaptionFormat(c.kind));
        const bool fits =
            need.right <= room.right - room.left && need.bottom <= room.bottom - room.top;
        // The layout may keep a line in reserve for a wrapped button caption, never less.
        if (places[i].captionFits) {
          EXPECT_TRUE(fits) << c.name;
        }
        if (!places[i].captionFits)
          std::cout << "dpi " << dpi << " DejaVu Sans: " << c.name << " needs its tooltip\n";
      }
      for (size_t j = i + 1; j < places.size(); ++j) {
        RECT common{};
        EXPECT_FALSE(IntersectRect(&common, &places[i].rect, &places[j].rect))
            << c.name << " overlaps " << places[j].spec->name;
      }
    }
  }
}

}  // namespace
}  // namespace focura::win32
