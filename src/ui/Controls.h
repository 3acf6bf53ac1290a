#pragma once
// The main window as data, made of the one list in ui/ControlTable.h: every control and menu item
// as a `Control`, the window's events as a `Command`, the layout, the line and the menu tree. The
// Win32 window and the end-to-end tests are both built from these tables.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "ui/ControlTable.h"

namespace focura {

// Every control and menu item of the window, named as in the table.
enum class Control : int {
#define FOCURA_ROW(name, ...) name,
  FOCURA_CONTROLS(FOCURA_ROW) FOCURA_MENUS(FOCURA_ROW)
#undef FOCURA_ROW
};

// The window's events: a click on a control or menu item with a handler, or the opening of the
// "Image Capture" menu (mnuCapture). Each has the value of its control.
enum class Command : int {
#define FOCURA_EVENT_Command(name) name = static_cast<int>(Control::name),
#define FOCURA_EVENT_None(name)
#define FOCURA_ROW(name, kind, event, ...) FOCURA_EVENT_##event(name)
  FOCURA_CONTROLS(FOCURA_ROW) FOCURA_MENUS(FOCURA_ROW)
#undef FOCURA_ROW
#undef FOCURA_EVENT_Command
};

enum class ControlKind { Button, TextBox, Label };

struct ControlSpec {
  Control control;
  std::string_view name;
  ControlKind kind;
  std::string_view caption;      // design-time caption or text
  int left, top, width, height;  // twips from the top left corner of the client area
  int tabIndex;
  int id;  // Win32 control id
};

struct LineSpec {
  std::string_view name;
  int x1, y1, x2, y2;
};

enum class MenuKind { Item, Separator, Submenu };

struct MenuSpec {
  Control control;
  std::string_view name;
  std::string_view caption;
  std::optional<Control> parent;  // none for the menu bar
  MenuKind kind;
  int id;  // Win32 command id (0 for separators and menus that only open)
};

struct FormSpec {
  std::string_view name;
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
};

namespace detail {

inline constexpr auto kControls = [] {
  std::array table{
#define FOCURA_ROW(name, kind, event, caption, left, top, width, height, id) \
  ControlSpec{Control::name, #name, ControlKind::kind, caption, left, top, width, height, 0, id},
      FOCURA_CONTROLS(FOCURA_ROW)
#undef FOCURA_ROW
  };
  for (size_t i = 0; i < table.size(); ++i)
    table[i].tabIndex = static_cast<int>(i);  // the table is in tab order
  return table;
}();

inline constexpr auto kMenus = [] {
  using enum Control;
  constexpr std::optional<Control> MenuBar;
  return std::array{
#define FOCURA_ROW(name, kind, event, caption, parent, id) \
  MenuSpec{Control::name, #name, caption, std::optional<Control>(parent), MenuKind::kind, id},
      FOCURA_MENUS(FOCURA_ROW)
#undef FOCURA_ROW
  };
}();

inline constexpr std::array kCommands{
#define FOCURA_EVENT_Command(name) Command::name,
#define FOCURA_ROW(name, kind, event, ...) FOCURA_EVENT_##event(name)
    FOCURA_CONTROLS(FOCURA_ROW) FOCURA_MENUS(FOCURA_ROW)
#undef FOCURA_ROW
#undef FOCURA_EVENT_Command
#undef FOCURA_EVENT_None
};

}  // namespace detail

inline constexpr FormSpec kMainForm{"frmFocuraAcq", "Focura Acquisition", 4695, 3495};
inline constexpr LineSpec kMainLine{"Line1", 120, 0, 4560, 0};

constexpr const FormSpec& MainForm() {
  return kMainForm;
}
constexpr const LineSpec& MainLine() {
  return kMainLine;
}
// In tab order.
constexpr std::span<const ControlSpec> MainControls() {
  return detail::kControls;
}
// In menu order, each menu before its items.
constexpr std::span<const MenuSpec> MainMenus() {
  return detail::kMenus;
}
// Every command, in the order of the table.
constexpr std::span<const Command> Commands() {
  return detail::kCommands;
}

// The row of `control`: nothing from FindControl for a menu item, nothing from FindMenu for a
// control of the client area.
constexpr const ControlSpec* FindControl(Control control) {
  for (const ControlSpec& c : detail::kControls) {
    if (c.control == control)
      return &c;
  }
  return nullptr;
}
constexpr const MenuSpec* FindMenu(Control control) {
  for (const MenuSpec& m : detail::kMenus) {
    if (m.control == control)
      return &m;
  }
  return nullptr;
}
constexpr std::string_view ControlName(Control control) {
  if (const ControlSpec* c = FindControl(control))
    return c->name;
  const MenuSpec* m = FindMenu(control);
  return m != nullptr ? m->name : std::string_view();
}
// The control or menu item whose click (or opening) a command is.
constexpr Control ControlOf(Command command) {
  return static_cast<Control>(command);
}
// The command of a control or menu item; nothing for one without a handler.
constexpr std::optional<Command> CommandOf(Control control) {
  for (const Command command : detail::kCommands) {
    if (ControlOf(command) == control)
      return command;
  }
  return std::nullopt;
}
// The control or menu item with a Win32 id; 0, IDOK and IDCANCEL name none.
constexpr const ControlSpec* FindControlById(int id) {
  for (const ControlSpec& c : detail::kControls) {
    if (c.id == id)
      return &c;
  }
  return nullptr;
}
constexpr const MenuSpec* FindMenuById(int id) {
  if (id == 0)
    return nullptr;
  for (const MenuSpec& m : detail::kMenus) {
    if (m.id == id)
      return &m;
  }
  return nullptr;
}
// By name, for what drives the window from outside (the end-to-end tests).
constexpr const ControlSpec* FindControl(std::string_view name) {
  for (const ControlSpec& c : detail::kControls) {
    if (c.name == name)
      return &c;
  }
  return nullptr;
}
constexpr const MenuSpec* FindMenu(std::string_view name) {
  for (const MenuSpec& m : detail::kMenus) {
    if (m.name == name)
      return &m;
  }
  return nullptr;
}

namespace detail {

// What the table must hold for the window to be built from it and its events to reach the form.
constexpr bool TableHolds() {
  for (size_t i = 0; i < kControls.size(); ++i) {
    const ControlSpec& c = kControls[i];
    if (c.id <= 0)
      return false;
    for (size_t j = 0; j < kControls.size(); ++j) {
      if (j != i && kControls[j].id == c.id)
        return false;
    }
    for (const MenuSpec& m : kMenus) {
      if (m.id == c.id)
        return false;
    }
    // Every button, and nothing else of the client area, is a command.
    if ((c.kind == ControlKind::Button) != CommandOf(c.control).has_value())
      return false;
  }
  for (size_t i = 0; i < kMenus.size(); ++i) {
    const MenuSpec& m = kMenus[i];
    const bool item = m.kind == MenuKind::Item;
    // Every item, and only an item, has an id of its own and is a command; a menu may be one.
    if (item != (m.id != 0) || (item && !CommandOf(m.control)) ||
        (m.kind == MenuKind::Separator && CommandOf(m.control)))
      return false;
    for (size_t j = 0; j < kMenus.size(); ++j) {
      if (item && j != i && kMenus[j].id == m.id)
        return false;
    }
    // A menu comes before its items.
    bool parentBefore = !m.parent;
    for (size_t j = 0; j < i; ++j) {
      if (m.parent && kMenus[j].control == *m.parent && kMenus[j].kind == MenuKind::Submenu)
        parentBefore = true;
    }
    if (!parentBefore)
      return false;
  }
  return true;
}
static_assert(TableHolds(),
              "ui/ControlTable.h: an id twice or missing, a button or item that is no command, "
              "or a menu after its items");

}  // namespace detail

inline constexpr int kTwipsPerInch = 1440;

}  // namespace focura
