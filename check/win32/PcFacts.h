#pragma once
// Facts about the PC for the report's header, and whether the check runs under Wine (where some
// Windows behaviours cannot be shown at all).

#include <string>

#include "check/core/CheckReport.h"

namespace focura::check {

ReportFacts PcFacts();
// The Wine version, or "" on Windows.
std::string WineVersion();
bool Elevated();

}  // namespace focura::check
