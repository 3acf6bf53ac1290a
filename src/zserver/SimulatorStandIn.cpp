#include "zserver/SimulatorStandIn.h"

#include <algorithm>

namespace focura {

namespace {

// CLSID text compares without regard to the case of its hex digits.
bool SameClass(const std::string& a, const std::string& b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

}  // namespace

std::string SimulatorStandInNote(const ProgIdClasses& classes, const std::string& simulatorClass) {
  if (classes.resolved.empty() || !SameClass(classes.resolved, simulatorClass))
    return "";
  if (classes.machine.empty() || SameClass(classes.machine, simulatorClass))
    return "";
  return "The Z server is the simulator, registered for this user in place of this PC's Z server: "
         "no axis moves and no trigger fires (zsim.exe /UnregServer removes it)";
}

}  // namespace focura
