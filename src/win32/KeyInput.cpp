#include "win32/KeyInput.h"

namespace focura::win32 {
namespace {

INPUT VirtualKeyEvent(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0u) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0u);
  return in;
}

INPUT UnicodeEvent(wchar_t unit, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wScan = unit;
  in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0u);
  return in;
}

constexpr WORD kModifierKeys[] = {VK_SHIFT, VK_CONTROL, VK_MENU};
constexpr uint8_t kModifierBits[] = {kModShift, kModCtrl, kModAlt};

void Press(std::vector<INPUT>& out, WORD vk, uint8_t mods) {
  for (size_t i = 0; i < 3; ++i) {
    if (mods & kModifierBits[i])
      out.push_back(VirtualKeyEvent(kModifierKeys[i], false));
  }
  out.push_back(VirtualKeyEvent(vk, false));
  out.push_back(VirtualKeyEvent(vk, true));
  for (size_t i = 3; i-- > 0;) {
    if (mods & kModifierBits[i])
      out.push_back(VirtualKeyEvent(kModifierKeys[i], true));
  }
}

void TypeUnicode(std::vector<INPUT>& out, char32_t ch) {
  wchar_t units[2];
  size_t n = 1;
  if (ch >= 0x10000) {
    const char32_t v = ch - 0x10000;
    units[0] = static_cast<wchar_t>(0xD800 + (v >> 10));
    units[1] = static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
    n = 2;
  } else {
    units[0] = static_cast<wchar_t>(ch);
  }
  for (size_t i = 0; i < n; ++i) {
    out.push_back(UnicodeEvent(units[i], false));
    out.push_back(UnicodeEvent(units[i], true));
  }
}

bool IsAsciiLetter(char32_t c) {
  return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

}  // namespace

WORD VirtualKeyOf(NamedKey key) {
  switch (key) {
    case NamedKey::None:
      return 0;
    case NamedKey::Enter:
      return VK_RETURN;
    case NamedKey::Tab:
      return VK_TAB;
    case NamedKey::Escape:
      return VK_ESCAPE;
    case NamedKey::Backspace:
      return VK_BACK;
    case NamedKey::Delete:
      return VK_DELETE;
    case NamedKey::Insert:
      return VK_INSERT;
    case NamedKey::Home:
      return VK_HOME;
    case NamedKey::End:
      return VK_END;
    case NamedKey::PageUp:
      return VK_PRIOR;
    case NamedKey::PageDown:
      return VK_NEXT;
    case NamedKey::Up:
      return VK_UP;
    case NamedKey::Down:
      return VK_DOWN;
    case NamedKey::Left:
      return VK_LEFT;
    case NamedKey::Right:
      return VK_RIGHT;
    case NamedKey::Break:
      return VK_CANCEL;
    case NamedKey::CapsLock:
      return VK_CAPITAL;
    case NamedKey::NumLock:
      return VK_NUMLOCK;
    case NamedKey::ScrollLock:
      return VK_SCROLL;
    case NamedKey::PrintScreen:
      return VK_SNAPSHOT;
    case NamedKey::Help:
      return VK_HELP;
    case NamedKey::Add:
      return VK_ADD;
    case NamedKey::Subtract:
      return VK_SUBTRACT;
    case NamedKey::Multiply:
      return VK_MULTIPLY;
    case NamedKey::Divide:
      return VK_DIVIDE;
    default:
      break;
  }
  const int f = static_cast<int>(key) - static_cast<int>(NamedKey::F1);
  if (f >= 0 && f < 16)
    return static_cast<WORD>(VK_F1 + f);
  return 0;
}

bool IsExtendedKey(WORD vk) {
  switch (vk) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_INSERT:
    case VK_DELETE:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_SNAPSHOT:
    case VK_CANCEL:
      return true;
    default:
      return false;
  }
}

std::vector<INPUT> KeyInputs(const KeyStrokes& keys) {
  std::vector<INPUT> out;
  for (const KeyStroke& k : keys) {
    if (k.key != NamedKey::None) {
      const WORD vk = VirtualKeyOf(k.key);
      if (vk != 0)
        Press(out, vk, k.modifiers);
      continue;
    }
    if (k.ch == 0)
      continue;
    // A letter under Ctrl or Alt is a shortcut: its key with exactly the modifiers written, never
    // the Shift the layout would add for a capital (programs bind Ctrl+Shift+V apart from Ctrl+V).
    if ((k.modifiers & (kModCtrl | kModAlt)) != 0 && IsAsciiLetter(k.ch)) {
      const char32_t upper = k.ch >= U'a' ? k.ch - (U'a' - U'A') : k.ch;
      Press(out, static_cast<WORD>(upper), k.modifiers);
      continue;
    }
    const SHORT scan = k.ch < 0x10000 ? VkKeyScanW(static_cast<wchar_t>(k.ch)) : -1;
    if (scan == -1 || LOBYTE(scan) == 0xFF) {
      TypeUnicode(out, k.ch);
      continue;
    }
    // The layout's shift state (1 Shift, 2 Ctrl, 4 Alt) matches the modifier bits.
    const uint8_t layoutMods = static_cast<uint8_t>(HIBYTE(scan) & 0x07);
    Press(out, LOBYTE(scan), static_cast<uint8_t>(k.modifiers | layoutMods));
  }
  return out;
}

}  // namespace focura::win32
