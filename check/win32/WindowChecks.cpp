// The window: every caption at this PC's DPI, measured in the font its control really got.

#include <vector>

#include "CheckShared.h"
#include "Screenshot.h"
#include "ui/Controls.h"
#include "win32/CaptionMeasure.h"
#include "win32/MainWindow.h"
#include "win32/Utf.h"

namespace focura::check {
using win32::Narrow;
using win32::Widen;

CheckResult CaptionsAtThisDpi(Shared& s) {
  win32::MainWindow w;
  w.Show(SW_SHOWNORMAL);
  SetForegroundWindow(w.Handle());
  PumpFor(500);
  const int dpi = w.Dpi();
  std::vector<std::string> problems;
  std::vector<std::pair<const ControlSpec*, RECT>> rects;
  std::wstring face;
  for (const ControlSpec& c : MainControls()) {
    HWND h = w.ControlWindow(c.control);
    if (h == nullptr) {
      problems.push_back(std::string(c.name) + " missing");
      continue;
    }
    rects.emplace_back(&c, win32::RectInParent(h));
    if (c.caption.empty() || c.kind == ControlKind::TextBox)
      continue;
    const win32::Measured m = win32::Measure(h, c, dpi);
    face = m.face;
    const bool fits = m.need.right - m.need.left <= m.room.right - m.room.left &&
                      m.need.bottom - m.need.top <= m.room.bottom - m.room.top;
    // A caption that cannot fit is shown whole in the control's tooltip.
    if (!fits && w.TipText(c.control).empty())
      problems.push_back(std::string(c.name) + " does not show its whole caption");
  }
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      RECT common{};
      if (IntersectRect(&common, &rects[i].second, &rects[j].second))
        problems.push_back(std::string(rects[i].first->name) + " overlaps " +
                           std::string(rects[j].first->name));
    }
  }
  CheckResult r;
  const std::string figure = std::to_string(rects.size()) + " controls at " + std::to_string(dpi) +
                             " dpi in " + Narrow(face);
  if (problems.empty()) {
    r = Pass(figure, "every caption fits its control or is whole in its tooltip; no overlaps");
  } else {
    std::string all;
    for (const auto& p : problems)
      all += (all.empty() ? "" : "; ") + p;
    r = Fail(figure, all);
  }
  try {
    SaveWindowPicture(w.Handle(), s.PathOf(L"check-window.bmp"));
    r.screenshot = "check-window.bmp";
  } catch (const std::exception& e) {
    r.reason += std::string(r.reason.empty() ? "" : "; ") + "no picture: " + e.what();
  }
  return r;
}

}  // namespace focura::check
