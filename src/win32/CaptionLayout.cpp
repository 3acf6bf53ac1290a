#include "win32/CaptionLayout.h"

#include <algorithm>
#include <string>

#include "ui/CaptionFit.h"
#include "win32/MainWindowLayout.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

// Distance a grown edge keeps from its neighbours: 2 px at 96 dpi, about a quarter of the design's
// spacing, scaled down rather than up.
int GrowthGap(int dpi) {
  return std::max(1, dpi / 48);
}

}  // namespace

HFONT CreateDialogFont(int dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(kDialogPoints, dpi, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynW(lf.lfFaceName, kDialogFace, LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

int ButtonTextInset(HWND button, int dpi) {
  // 2 px of frame, 1 px to the focus rectangle, 1 px inside it at 96 dpi.
  int inset = MulDiv(4, dpi, 96);
  // A styled button draws its caption inside the style's content rectangle. Looked up at run
  // time: without the library or a style the classic frame is all there is.
  using GetTheme = HANDLE(WINAPI*)(HWND);
  using GetContentRect = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, RECT*);
  static HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
  if (uxtheme == nullptr)
    return inset;
  const auto getTheme = reinterpret_cast<GetTheme>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetWindowTheme")));
  const auto getContent = reinterpret_cast<GetContentRect>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme, "GetThemeBackgroundContentRect")));
  HANDLE theme = getTheme != nullptr ? getTheme(button) : nullptr;
  if (theme == nullptr || getContent == nullptr)
    return inset;
  constexpr int kPushButton = 1, kNormal = 1;  // BP_PUSHBUTTON, PBS_NORMAL
  const RECT outer{0, 0, 200, 100};
  RECT content = outer;
  const UniqueWindowDc dc(button);
  const HRESULT hr = getContent(theme, dc.get(), kPushButton, kNormal, &outer, &content);
  if (FAILED(hr))
    return inset;
  for (const int side : {content.left - outer.left, content.top - outer.top,
                         outer.right - content.right, outer.bottom - content.bottom}) {
    inset = std::max(inset, side);
  }
  return inset;
}

int NewButtonTextInset(HWND parent, int dpi) {
  const UniqueWindow probe(CreateWindowExW(
      0, ControlClass(ControlKind::Button), L"", ControlStyle(ControlKind::Button) & ~WS_VISIBLE, 0,
      0, 200, 100, parent, nullptr, GetModuleHandleW(nullptr), nullptr));
  return ButtonTextInset(probe.get(), dpi);
}

UINT CaptionFormat(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return DT_CENTER | DT_WORDBREAK;
    case ControlKind::Label:
      return DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
    case ControlKind::TextBox:
      break;
  }
  return DT_LEFT | DT_SINGLELINE | DT_NOPREFIX;
}

std::vector<ControlPlace> PlaceControls(HFONT font, int dpi, int buttonInset) {
  const auto controls = MainControls();
  std::vector<CaptionBox> boxes;
  std::vector<std::wstring> captions;
  for (const ControlSpec& c : controls) {
    const RECT r = ControlRect(c, dpi);
    // The top row stays in line: a control there grows sideways and down only.
    boxes.push_back({Box{r.left, r.top, r.right, r.bottom},
                     c.kind == ControlKind::Button ? buttonInset : 0,
                     !c.caption.empty() && c.kind != ControlKind::TextBox,
                     c.kind == ControlKind::Label, c.top == controls.front().top});
    captions.push_back(Widen(c.caption));
  }
  const FormSpec& form = MainForm();
  const Box area{0, 0, TwipsToPixels(form.clientWidth, dpi), TwipsToPixels(form.clientHeight, dpi)};

  const UniqueWindowDc dc(nullptr, font);
  const auto measure = [&](std::size_t i, int wrapWidth) {
    // A styled button wraps its caption again at paint time, and a pixel less there than here
    // moves a word onto a new line (seen under Wine): a button's caption is wrapped a few pixels
    // narrower than its room, so the lines it is given are the lines it draws.
    const bool button = controls[i].kind == ControlKind::Button;
    const int slack = button ? std::max(2, MulDiv(3, dpi, 96)) : 0;
    RECT r{0, 0, std::max(1, wrapWidth - slack), 0};
    DrawTextW(dc.get(), captions[i].c_str(), -1, &r, DT_CALCRECT | CaptionFormat(controls[i].kind));
    return TextSize{r.right - r.left, r.bottom - r.top};
  };
  const auto fitted = FitCaptions(boxes, area, GrowthGap(dpi), measure);

  std::vector<ControlPlace> places;
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const Box& b = fitted[i].box;
    places.push_back({&controls[i], RECT{b.left, b.top, b.right, b.bottom}, fitted[i].fits});
  }
  return places;
}

}  // namespace focura::win32
