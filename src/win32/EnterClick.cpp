#include "win32/EnterClick.h"

namespace focura::win32 {
namespace {

bool IsPushButton(HWND h) {
  wchar_t cls[16] = {};
  if (GetClassNameW(h, cls, 16) == 0 || lstrcmpiW(cls, L"Button") != 0)
    return false;
  const LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace

bool ClickFocusedButtonOnEnter(HWND window, const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || window == nullptr)
    return false;
  HWND button = msg.hwnd;
  if (button == nullptr || GetParent(button) != window || !IsPushButton(button))
    return false;
  // Bit 30: the key was already down, so this is an auto-repeat.
  const bool repeat = (msg.lParam & (1L << 30)) != 0;
  if (!repeat && IsWindowEnabled(button)) {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  }
  return true;
}

}  // namespace focura::win32
