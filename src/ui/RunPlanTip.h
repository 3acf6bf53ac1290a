#pragma once
// The tooltip of "Acquire Z Stack": the run as it would go if started now.

#include <string>

#include "acq/ZAcq.h"
#include "ui/Window.h"

namespace focura {

// The planes and the estimated length of the run, or why it would be refused, and whatever makes
// its frames trigger nothing (a method that sends no key, a launch for another method). Reads the
// timing boxes as they stand; sends nothing to the Z server and changes nothing.
std::string RunPlanTip(ZAcq& acq, Window& window);

}  // namespace focura
