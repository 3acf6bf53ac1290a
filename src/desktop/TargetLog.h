#pragma once
// Reads the capture-target stand-in's key log: one event per line,
//   <ms> KEYDOWN|SYSKEYDOWN vk=<n> shift=<0|1> ctrl=<0|1> alt=<0|1> fg=<0|1>
//   <ms> CHAR ch=<n> shift=.. ctrl=.. alt=.. fg=..
//   <ms> START pid=<n> fg=<0|1>
//   <ms> ACTIVATE on=<0|1> fg=<0|1>
//   <ms> DIALOG open=<0|1> bykey=<0|1> fg=<0|1>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace focura::desktop {

enum class TargetEventKind { Start, Activate, KeyDown, SysKeyDown, Char, Dialog };

struct TargetEvent {
  uint32_t timeMs = 0;
  TargetEventKind kind = TargetEventKind::Start;
  // virtual key (KeyDown, SysKeyDown), character (Char), pid (Start), 1 when a key closed it
  // (Dialog)
  unsigned code = 0;
  bool shift = false, ctrl = false, alt = false;
  bool on = false;          // Activate: activated (true) or deactivated; Dialog: opened
  bool foreground = false;  // the stand-in was the foreground window at that moment
};

// Parses the whole text; a malformed line throws std::runtime_error naming it. A last line
// without its line end is still being written and is left out.
std::vector<TargetEvent> ParseTargetLog(std::string_view text);

// Only the key-down events (KeyDown and SysKeyDown), in order.
std::vector<TargetEvent> KeyDowns(const std::vector<TargetEvent>& events);

}  // namespace focura::desktop
