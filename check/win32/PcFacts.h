#pragma once
// Facts about the PC for the report's header, and whether the check runs under Wine (where some
// Windows behaviours cannot be shown at all).

#include <string>

#include "check/core/CheckReport.h"
#include "zserver/ServerWidth.h"

namespace focura::check {

ReportFacts PcFacts();
// The Wine version, or "" on Windows.
std::string WineVersion();
bool Elevated();
// An administrator whose programs all run elevated because UAC is off: COM ignores the user's
// own class registrations for them.
bool AdministratorWithUacOff();
bool WindowsIs64Bit();
// The width of this check program.
Width ThisWidth();

}  // namespace focura::check
