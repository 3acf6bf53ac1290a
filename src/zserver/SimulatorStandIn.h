#pragma once
// A simulator registered for the user under the Z server's ProgID wins over the machine's own
// registration (the user's classes come first), and every run becomes a dry run without a word.
// The registry is read by the shell; the decision and the words are here.

#include <string>

namespace focura {

// The classes the Z server's ProgID leads to, as CLSID text ("" where none): the one it resolves
// to for this program, and the one the machine's own registration names.
struct ProgIdClasses {
  std::string resolved;
  std::string machine;
};

// What the operator is told at start and during runs when the simulator (class
// `simulatorClass`) answers under the ProgID in place of another server registered for the
// machine; "" otherwise (the real server, or a PC where the simulator is the only one).
std::string SimulatorStandInNote(const ProgIdClasses& classes, const std::string& simulatorClass);

// The short form for the run's progress text.
inline constexpr const char* kStandInShort = "the Z server is the simulator";

}  // namespace focura
