#pragma once
// The window's commands as the compiler sees them: every button and menu item of the control
// table that has a handler, by its control id, and the opening of the "Image Capture" menu.

#include <optional>
#include <span>
#include <string_view>

namespace focura {

// Values are the Win32 ids of MainControls() and MainMenus(); a test holds the two together.
enum class Command : int {
  cmdGetTopBot = 1000,
  cmdExecute = 1003,
  cmdFocura = 1004,
  cmdSetNum = 1005,
  cmdSetStepSize = 1006,
  cmdSetTop = 1011,
  cmdSetBot = 1012,
  cmdCapture = 1013,
  cmdLaunchCapture = 1014,
  cmdCancelZ = 1017,
  mnuShowZServ = 2001,
  mnuHideZServ = 2002,
  mnuZLog = 2003,
  mnuEOSUtil = 2011,
  mnuCanonRemote = 2012,
  mnuBreeze = 2013,
  mnuFujiSU = 2014,
  mnuPath = 2015,
  mnuHWT = 2016,
  mnuDelayKey = 2017,
  mnuTriggerHold = 2018,
  mnuFujiCapKey = 2021,
  // The "Image Capture" menu opens; the menu has no command id of its own.
  mnuCapture = -1,
};

struct CommandSpec {
  Command command;
  std::string_view name;  // the control's or menu item's name in the control table
};

std::span<const CommandSpec> Commands();
// The command of a control or menu item by its name or its Win32 id; nothing for one without a
// handler (a label, a separator, a menu that only opens).
std::optional<Command> CommandNamed(std::string_view name);
std::optional<Command> CommandWithId(int id);
std::string_view CommandName(Command command);

}  // namespace focura
