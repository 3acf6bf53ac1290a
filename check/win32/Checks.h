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
  // Asks the operator a yes/no question in the check's window.
  std::function<bool(const std::string&)> confirm;
};

std::vector<Check> CheckTable(const CheckSetting& setting);

}  // namespace focura::check
