#pragma once

#include <cstdint>
#include <vector>

namespace focura {

enum class NamedKey : uint8_t {
  None,
  Enter,
  Tab,
  Escape,
  Backspace,
  Delete,
  Insert,
  Home,
  End,
  PageUp,
  PageDown,
  Up,
  Down,
  Left,
  Right,
  Break,
  CapsLock,
  NumLock,
  ScrollLock,
  PrintScreen,
  Help,
  F1,
  F2,
  F3,
  F4,
  F5,
  F6,
  F7,
  F8,
  F9,
  F10,
  F11,
  F12,
  F13,
  F14,
  F15,
  F16,
  Add,
  Subtract,
  Multiply,
  Divide,
};

enum KeyModifier : uint8_t { kModShift = 1, kModCtrl = 2, kModAlt = 4 };

// One key press and release, with the modifiers held around it. Either a character (`ch`,
// Unicode; a blank is the space bar) or a named key (`key` != NamedKey::None, `ch` == 0).
struct KeyStroke {
  char32_t ch = 0;
  NamedKey key = NamedKey::None;
  uint8_t modifiers = 0;

  static KeyStroke Char(char32_t c, uint8_t mods = 0) { return {c, NamedKey::None, mods}; }
  static KeyStroke Named(NamedKey k, uint8_t mods = 0) { return {0, k, mods}; }
  bool operator==(const KeyStroke&) const = default;
};

using KeyStrokes = std::vector<KeyStroke>;

}  // namespace focura
