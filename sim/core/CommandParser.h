#pragma once
// Turns one command text into the steps it asks for. Steps are separated by ";" (blanks around
// them and empty steps are ignored); words are separated by runs of blanks; keywords match in any
// case; numbers use the regional decimal separator, the same rule the tool formats them with.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/NumberText.h"

namespace zsim {

enum class Op {
  Show,
  Hide,
  JoyOn,
  JoyOff,
  Unload,
  Where,       // Z ?
  MoveTo,      // Z <z>
  MoveBy,      // Z Rel <d>
  Wait,        // Z Wait
  ObjCount,    // Obj GetNum
  ObjGet,      // Obj Get <i>
  Probe,       // CON /2&
  TriggerOn,   // CON /2J1R
  TriggerOff,  // CON /2J0R
  SimJog,
  SimStore,
  SimSpeed,
  SimLimits,
  SimFail,
  SimPulses,
  SimReset,
  SimState,
  SimBusy,
};

struct Step {
  Op op = Op::Show;
  double a = 0.0;
  double b = 0.0;
  int32_t index = 0;
  std::string text;
};

struct ParsedCommand {
  std::vector<Step> steps;
  // Set when a step is not understood: that step's text, and nothing of the command is run.
  bool understood = true;
  std::string notUnderstood;
};

ParsedCommand ParseCommand(std::string_view command, const focura::NumberText& num);

}  // namespace zsim
