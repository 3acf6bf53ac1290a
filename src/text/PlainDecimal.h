#pragma once

#include <string>

namespace focura {

// z in plain decimal notation with a point, preceded by a blank when not negative (" 12.5",
// "-3.25"): the shortest text that reads back as z, never in exponent form.
std::string PlainDecimal(double z);

}  // namespace focura
