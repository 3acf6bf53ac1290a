#include "ui/CommandIds.h"

#include <array>

namespace focura {
namespace {

using C = Command;
constexpr std::array kCommands{
    CommandSpec{C::cmdGetTopBot, "cmdGetTopBot"},
    CommandSpec{C::cmdExecute, "cmdExecute"},
    CommandSpec{C::cmdFocura, "cmdFocura"},
    CommandSpec{C::cmdSetNum, "cmdSetNum"},
    CommandSpec{C::cmdSetStepSize, "cmdSetStepSize"},
    CommandSpec{C::cmdSetTop, "cmdSetTop"},
    CommandSpec{C::cmdSetBot, "cmdSetBot"},
    CommandSpec{C::cmdCapture, "cmdCapture"},
    CommandSpec{C::cmdLaunchCapture, "cmdLaunchCapture"},
    CommandSpec{C::cmdCancelZ, "cmdCancelZ"},
    CommandSpec{C::mnuShowZServ, "mnuShowZServ"},
    CommandSpec{C::mnuHideZServ, "mnuHideZServ"},
    CommandSpec{C::mnuZLog, "mnuZLog"},
    CommandSpec{C::mnuEOSUtil, "mnuEOSUtil"},
    CommandSpec{C::mnuCanonRemote, "mnuCanonRemote"},
    CommandSpec{C::mnuBreeze, "mnuBreeze"},
    CommandSpec{C::mnuFujiSU, "mnuFujiSU"},
    CommandSpec{C::mnuPath, "mnuPath"},
    CommandSpec{C::mnuHWT, "mnuHWT"},
    CommandSpec{C::mnuDelayKey, "mnuDelayKey"},
    CommandSpec{C::mnuTriggerHold, "mnuTriggerHold"},
    CommandSpec{C::mnuFujiCapKey, "mnuFujiCapKey"},
    CommandSpec{C::mnuCapture, "mnuCapture"},
};

}  // namespace

std::span<const CommandSpec> Commands() {
  return kCommands;
}

std::optional<Command> CommandNamed(std::string_view name) {
  for (const auto& c : kCommands) {
    if (c.name == name)
      return c.command;
  }
  return std::nullopt;
}

std::optional<Command> CommandWithId(int id) {
  for (const auto& c : kCommands) {
    if (c.command != Command::mnuCapture && static_cast<int>(c.command) == id)
      return c.command;
  }
  return std::nullopt;
}

std::string_view CommandName(Command command) {
  for (const auto& c : kCommands) {
    if (c.command == command)
      return c.name;
  }
  return "";
}

}  // namespace focura
