#include "win32/InputBox.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "capture/PlatformError.h"
#include "win32/CaptionLayout.h"
#include "win32/ErrorText.h"
#include "win32/EventHold.h"
#include "win32/Owned.h"
#include "win32/Utf.h"
#include "win32/WindowBase.h"

namespace focura::win32 {
namespace {

// A DLGTEMPLATEEX with its items, laid out as DialogBoxIndirect reads it. The extended form is
// the one in which DS_SHELLFONT takes effect.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, short cx, short cy, const wchar_t* font, WORD points) {
    Word(1);       // version
    Word(0xFFFF);  // the extended template's signature
    Dword(0);      // help id
    Dword(0);      // extended style
    Dword(style);
    countAt_ = words_.size();
    Word(0);  // item count, filled in by Add
    Word(0);  // x
    Word(0);  // y
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(L"");
    Word(points);
    Word(FW_NORMAL);
    Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    Text(font);
  }

  // `atom`: 0x0080 button, 0x0081 edit, 0x0082 static.
  void Add(WORD atom, DWORD style, short x, short y, short cx, short cy, WORD id,
           const wchar_t* text) {
    if (words_.size() % 2 != 0)
      Word(0);  // items start on a DWORD boundary
    Dword(0);   // help id
    Dword(0);   // extended style
    Dword(style | WS_CHILD | WS_VISIBLE);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(cx));
    Word(static_cast<WORD>(cy));
    Dword(id);
    Word(0xFFFF);
    Word(atom);
    Text(text);
    Word(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(WORD w) { words_.push_back(w); }
  void Dword(DWORD d) {
    Word(LOWORD(d));
    Word(HIWORD(d));
  }
  void Text(const wchar_t* s) {
    for (; *s != L'\0'; ++s)
      Word(static_cast<WORD>(*s));
    Word(0);
  }

  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

void CentreOn(HWND dialog, HWND owner) {
  RECT box{};
  GetWindowRect(dialog, &box);
  HMONITOR monitor = MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTONEAREST);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoW(monitor, &mi);
  RECT around = mi.rcWork;
  if (owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner))
    GetWindowRect(owner, &around);
  const LONG w = box.right - box.left;
  const LONG h = box.bottom - box.top;
  LONG x = around.left + (around.right - around.left - w) / 2;
  LONG y = around.top + (around.bottom - around.top - h) / 2;
  if (x + w > mi.rcWork.right)
    x = mi.rcWork.right - w;
  if (y + h > mi.rcWork.bottom)
    y = mi.rcWork.bottom - h;
  if (x < mi.rcWork.left)
    x = mi.rcWork.left;
  if (y < mi.rcWork.top)
    y = mi.rcWork.top;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT ChildRect(HWND dialog, HWND child) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The template leaves room for a text of several lines; a short one would leave an empty band
// above the answer box. The text keeps the height it needs (at least the buttons'), the box
// follows it at the template's distance, and the dialog ends the same distance below the box.
void FitToText(HWND dialog) {
  HWND label = GetDlgItem(dialog, kInputBoxTextId);
  HWND edit = GetDlgItem(dialog, kInputBoxEditId);
  HWND cancel = GetDlgItem(dialog, IDCANCEL);
  if (label == nullptr || edit == nullptr || cancel == nullptr)
    return;
  const RECT text = ChildRect(dialog, label);
  const RECT box = ChildRect(dialog, edit);
  const RECT lowest = ChildRect(dialog, cancel);
  std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
  caption.resize(
      static_cast<size_t>(GetWindowTextW(label, caption.data(), static_cast<int>(caption.size()))));
  RECT need{0, 0, text.right - text.left, 0};
  {
    const UniqueWindowDc dc(label, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    if (!dc)
      return;
    DrawTextW(dc.get(), caption.c_str(), -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  const LONG textBottom =
      std::min<LONG>(text.bottom, std::max<LONG>(text.top + need.bottom, lowest.bottom));
  const LONG shift = text.bottom - textBottom;
  if (shift <= 0)
    return;
  SetWindowPos(label, nullptr, 0, 0, text.right - text.left, textBottom - text.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(edit, nullptr, box.left, box.top - shift, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT frame{};
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - shift,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// One question: what it shows, and the answer once given.
class Request : public DialogBase<Request> {
 public:
  Request(std::wstring title, std::wstring text, std::wstring defaultText, HWND owner)
      : title_(std::move(title)),
        text_(std::move(text)),
        defaultText_(std::move(defaultText)),
        owner_(owner) {}

  INT_PTR Show(const DLGTEMPLATE* dialog) { return Run(GetModuleHandleW(nullptr), dialog, owner_); }
  const std::wstring& Answer() const { return answer_; }

 private:
  friend class DialogBase<Request>;
  INT_PTR HandleDialog(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
      case WM_INITDIALOG: {
        SetWindowTextW(dialog, title_.c_str());
        SetDlgItemTextW(dialog, kInputBoxTextId, text_.c_str());
        HWND edit = GetDlgItem(dialog, kInputBoxEditId);
        SetWindowTextW(edit, defaultText_.c_str());
        SendMessageW(edit, EM_SETSEL, 0, -1);
        FitToText(dialog);
        CentreOn(dialog, owner_);
        SetFocus(edit);
        return FALSE;  // the focus is set
      }
      case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
          HWND edit = GetDlgItem(dialog, kInputBoxEditId);
          std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
          const int n = GetWindowTextW(edit, text.data(), static_cast<int>(text.size()));
          text.resize(static_cast<size_t>(n > 0 ? n : 0));
          answer_ = std::move(text);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        }
        return FALSE;
      default:
        return FALSE;
    }
  }

  std::wstring title_, text_, defaultText_, answer_;
  HWND owner_;
};

}  // namespace

std::string InputBox::Ask(const std::string& title, const std::string& text,
                          const std::string& defaultText) {
  DialogTemplate t(DS_MODALFRAME | DS_SHELLFONT | DS_3DLOOK | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                   250, 94, kDialogFace, kDialogPoints);
  t.Add(0x0082, SS_LEFT | SS_NOPREFIX, 7, 7, 180, 56, kInputBoxTextId, L"");
  t.Add(0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 193, 7, 50, 14, IDOK, L"OK");
  t.Add(0x0080, BS_PUSHBUTTON | WS_TABSTOP, 193, 25, 50, 14, IDCANCEL, L"Cancel");
  t.Add(0x0081, ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 72, 236, 13, kInputBoxEditId,
        L"");

  Request request(Widen(title), Widen(text), Widen(defaultText), owner_);
  INT_PTR result;
  {
    EventHold hold;
    result = request.Show(t.get());
  }
  if (result == -1) {
    throw PlatformError("The prompt could not be shown: " + SystemErrorText(GetLastError()));
  }
  return result == IDOK ? Narrow(request.Answer()) : std::string();
}

}  // namespace focura::win32
