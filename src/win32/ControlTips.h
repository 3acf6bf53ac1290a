#pragma once
// Tooltips over the main window's controls: the full caption of a control too small for it, and
// the full text of the status line whenever the line cannot show all of it.

#include <windows.h>

#include <string>

#include "win32/Owned.h"

namespace focura::win32 {

class ControlTips {
 public:
  // Tooltips owned by `window`, wrapped at `maxWidth` pixels.
  ControlTips(HWND window, int maxWidth);
  ~ControlTips();
  ControlTips(const ControlTips&) = delete;
  ControlTips& operator=(const ControlTips&) = delete;

  // A tip over `control` that always shows `text`.
  void AddFixed(HWND control, const std::wstring& text);
  // A tip over the one-line label `label` holding its whole text while the text is wider than the
  // label or has more than one line, and nothing otherwise. Follows every change of text or size.
  void FollowText(HWND label);
  // What lies behind the followed label's current text (a refusal's reason): shown with it in
  // the tip until the label's next text; "" for none.
  void SetNote(HWND label, const std::wstring& note);
  // A tip over `control` that always shows `text`, added or replaced.
  void SetFixed(HWND control, const std::wstring& text);
  // A tip over `control` whose text the window gives when it is about to show (TTN_GETDISPINFOW
  // to the window, idFrom the control).
  void AddLive(HWND control);
  // What the tip over `control` would show ("" for none); not for a live tip.
  std::wstring TipText(HWND control) const;

 private:
  static LRESULT CALLBACK FollowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self) noexcept;
  // TTM_ADDTOOLW or TTM_UPDATETIPTEXTW for the tool over `control`.
  void Send(UINT message, HWND control, const std::wstring& text);
  void Refresh(HWND label);

  HWND window_;
  UniqueWindow tip_;
  HWND followed_ = nullptr;
  std::wstring note_;
};

}  // namespace focura::win32
