#include "win32/ControlTips.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <vector>

#include "win32/Boundary.h"
#include "win32/Owned.h"

namespace focura::win32 {
namespace {

constexpr UINT_PTR kFollowSubclassId = 0x7E7;

TTTOOLINFOW ToolOf(HWND window, HWND control) {
  TTTOOLINFOW ti{};
  // The older layout, which every version of the control accepts.
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = window;
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  return ti;
}

std::wstring WindowText(HWND h) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  const int n = GetWindowTextW(h, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

// Whether `text` in the label's font needs more than the label's one line.
bool CutOff(HWND label, const std::wstring& text) {
  if (text.empty())
    return false;
  if (text.find_first_of(L"\r\n") != std::wstring::npos)
    return true;
  RECT client{};
  GetClientRect(label, &client);
  const UniqueWindowDc dc(label, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  if (!dc)
    return true;
  RECT need{0, 0, 0, 0};
  DrawTextW(dc.get(), text.c_str(), -1, &need, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  return need.right - need.left > client.right - client.left;
}

}  // namespace

ControlTips::ControlTips(HWND window, int maxWidth) : window_(window) {
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  tip_.reset(CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)), nullptr));
  if (!tip_)
    return;  // without tooltips the window still works; the captions stay as they are
  SendMessageW(tip_.get(), TTM_SETMAXTIPWIDTH, 0, maxWidth);
  // Long enough to read a failure message of several lines.
  SendMessageW(tip_.get(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
}

ControlTips::~ControlTips() {
  if (followed_ != nullptr && IsWindow(followed_))
    RemoveWindowSubclass(followed_, &ControlTips::FollowProc, kFollowSubclassId);
  // The window that owns the tooltip takes it along when it goes first.
  if (tip_ && !IsWindow(tip_.get()))
    tip_.release();
}

void ControlTips::Send(UINT message, HWND control, const std::wstring& text) {
  if (!tip_)
    return;
  TTTOOLINFOW ti = ToolOf(window_, control);
  std::wstring copy = text;  // the control copies it
  ti.lpszText = copy.data();
  SendMessageW(tip_.get(), message, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlTips::AddFixed(HWND control, const std::wstring& text) {
  Send(TTM_ADDTOOLW, control, text);
}

void ControlTips::SetFixed(HWND control, const std::wstring& text) {
  if (!tip_)
    return;
  TTTOOLINFOW ti = ToolOf(window_, control);
  if (SendMessageW(tip_.get(), TTM_GETTOOLCOUNT, 0, 0) > 0 &&
      SendMessageW(tip_.get(), TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&ti)) != FALSE) {
    Send(TTM_UPDATETIPTEXTW, control, text);
  } else {
    Send(TTM_ADDTOOLW, control, text);
  }
}

void ControlTips::AddLive(HWND control) {
  if (!tip_)
    return;
  TTTOOLINFOW ti = ToolOf(window_, control);
  ti.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void ControlTips::SetNote(HWND label, const std::wstring& note) {
  if (label != followed_)
    return;
  note_ = note;
  Refresh(label);
}

void ControlTips::FollowText(HWND label) {
  if (!tip_ || followed_ != nullptr)
    return;
  Send(TTM_ADDTOOLW, label, L"");
  followed_ = label;
  SetWindowSubclass(label, &ControlTips::FollowProc, kFollowSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  Refresh(label);
}

void ControlTips::Refresh(HWND label) {
  const std::wstring text = WindowText(label);
  std::wstring tip = CutOff(label, text) ? text : std::wstring();
  if (!note_.empty())
    tip += (tip.empty() ? L"" : L"\n") + note_;
  Send(TTM_UPDATETIPTEXTW, label, tip);
}

std::wstring ControlTips::TipText(HWND control) const {
  if (!tip_)
    return {};
  std::vector<wchar_t> buffer(4096, L'\0');
  TTTOOLINFOW ti = ToolOf(window_, control);
  ti.lpszText = buffer.data();
  SendMessageW(tip_.get(), TTM_GETTEXTW, buffer.size(), reinterpret_cast<LPARAM>(&ti));
  return buffer.data();
}

LRESULT CALLBACK ControlTips::FollowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self) noexcept {
  auto* tips = reinterpret_cast<ControlTips*>(self);
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, &ControlTips::FollowProc, kFollowSubclassId);
    tips->followed_ = nullptr;
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
  Guarded(
      [&] {
        if (msg == WM_SETTEXT)
          tips->note_.clear();  // a note belongs to the text it was given with
        if (msg == WM_SETTEXT || msg == WM_SIZE || msg == WM_SETFONT)
          tips->Refresh(hwnd);
      },
      [](const std::string&) {});
  return result;
}

}  // namespace focura::win32
