#pragma once
// The product's desktop helpers (starting programs, finding their windows, the stand-in's key log,
// the editor, files), which the suite shares with the PC check, under the suite's own namespace.

#include "desktop/FileText.h"
#include "desktop/Notepad.h"
#include "desktop/Process.h"
#include "desktop/StandIn.h"
#include "desktop/TargetLog.h"
#include "desktop/Wait.h"
#include "desktop/Win32Text.h"
#include "desktop/WindowFinder.h"

namespace focura::e2e {
using namespace focura::desktop;
}  // namespace focura::e2e
