#include "win32/MainWindowLayout.h"

#include <stdexcept>

#include "ui/Window.h"
#include "win32/Utf.h"

namespace focura::win32 {

int TwipsToPixels(int twips, int dpi) {
  return MulDiv(twips, dpi, kTwipsPerInch);
}

RECT ControlRect(const ControlSpec& c, int dpi) {
  const int left = TwipsToPixels(c.left, dpi);
  const int top = TwipsToPixels(c.top, dpi);
  return RECT{left, top, left + TwipsToPixels(c.width, dpi), top + TwipsToPixels(c.height, dpi)};
}

const wchar_t* ControlClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return L"BUTTON";
    case ControlKind::TextBox:
      return L"EDIT";
    case ControlKind::Label:
      return L"STATIC";
  }
  return L"STATIC";
}

DWORD ControlStyle(ControlKind kind) {
  const DWORD common = WS_CHILD | WS_VISIBLE;
  switch (kind) {
    // Long captions wrap onto a second line, as the launch button's does.
    case ControlKind::Button:
      return common | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
    case ControlKind::TextBox:
      return common | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
    // SS_NOTIFY: a static is transparent to the mouse without it, and so would get no tooltip.
    case ControlKind::Label:
      return common | SS_LEFT | SS_NOPREFIX | SS_NOTIFY;
  }
  return common;
}

DWORD ControlStyle(const ControlSpec& c) {
  // The status line is one line high: a longer text ends in an ellipsis instead of wrapping onto
  // a line nobody sees, and its tooltip holds all of it.
  if (c.control == kStatusLine)
    return (ControlStyle(c.kind) & ~SS_TYPEMASK) | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS;
  return ControlStyle(c.kind);
}

RECT WidenedWithClient(const RECT& design, int designClientWidth, int clientWidth) {
  RECT r = design;
  r.right = design.right + (clientWidth > designClientWidth ? clientWidth - designClientWidth : 0);
  return r;
}

DWORD ControlExStyle(ControlKind kind) {
  return kind == ControlKind::TextBox ? WS_EX_CLIENTEDGE : 0;
}

MenuBar BuildMenuBar() {
  MenuBar menus;
  menus.bar = CreateMenu();
  if (menus.bar == nullptr)
    throw std::runtime_error("CreateMenu failed");
  for (const MenuSpec& m : MainMenus()) {
    HMENU parent = menus.bar;
    if (m.parent) {
      auto it = menus.popups.find(*m.parent);
      if (it == menus.popups.end())
        throw std::logic_error("menu listed before its parent");
      parent = it->second;
    }
    const std::wstring caption = Widen(m.caption);
    switch (m.kind) {
      case MenuKind::Separator:
        AppendMenuW(parent, MF_SEPARATOR, 0, nullptr);
        break;
      case MenuKind::Submenu: {
        HMENU popup = CreatePopupMenu();
        AppendMenuW(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                    caption.c_str());
        menus.popups.emplace(m.control, popup);
        break;
      }
      case MenuKind::Item:
        AppendMenuW(parent, MF_STRING, static_cast<UINT_PTR>(m.id), caption.c_str());
        break;
    }
  }
  return menus;
}

}  // namespace focura::win32
