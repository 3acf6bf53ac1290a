#pragma once
// The table of checks run on the PC, in order.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "check/core/CheckReport.h"

namespace focura::check {

struct CheckSetting {
  std::wstring folder;      // where the check, zsim.exe and the stand-in lie; the report goes here
  bool unattended = false;  // nobody to ask: what needs the operator's consent is skipped
  std::string wine;         // the Wine version, "" on Windows
  // The operator allowed the real Z server to be created (asked before the checks start, so
  // that no check's time runs while a question waits for an answer).
  bool mayCreateZServer = false;
  // COM sees only the machine's classes (an elevated process, or Wine): the simulator is
  // registered there as well.
  bool registerForMachine = false;
  // Set when a row that talks to the shared simulator overran its time limit: the rows after it
  // do not wait for that simulator again.
  std::string simulatorLost;
  // What the running check waits for now, for the row of a check that overruns.
  std::function<void(const std::string&)> waiting;
};

std::vector<Check> CheckTable(const CheckSetting& setting);

}  // namespace focura::check
