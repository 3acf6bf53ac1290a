#pragma once
// The main window as data: every control, the line and the menu tree. The Win32 window and the
// end-to-end tests are both built from these tables.

#include <span>
#include <string_view>

namespace focura {

enum class ControlKind { Button, TextBox, Label };

// Geometry in twips from the top left corner of the client area.
struct ControlSpec {
  std::string_view name;
  ControlKind kind;
  std::string_view caption;  // design-time caption or text
  int left, top, width, height;
  int tabIndex;
  int id;  // Win32 control id
};

struct LineSpec {
  std::string_view name;
  int x1, y1, x2, y2;
};

enum class MenuKind { Item, Separator, Submenu };

// The menu tree in menu order; `parent` is the name of the enclosing menu ("" for the menu bar).
struct MenuSpec {
  std::string_view name;
  std::string_view caption;
  std::string_view parent;
  MenuKind kind;
  int id;  // Win32 command id (0 for separators and menus that only open)
};

struct FormSpec {
  std::string_view name;
  std::string_view caption;
  int clientWidth, clientHeight;  // twips
};

const FormSpec& MainForm();
// In tab order.
std::span<const ControlSpec> MainControls();
const LineSpec& MainLine();
std::span<const MenuSpec> MainMenus();

const ControlSpec* FindControl(std::string_view name);
const ControlSpec* FindControlById(int id);
const MenuSpec* FindMenu(std::string_view name);
const MenuSpec* FindMenuById(int id);

inline constexpr int kTwipsPerInch = 1440;

}  // namespace focura
