#pragma once

#include <string>
#include <string_view>

namespace focura {

// The text with its control characters (U+0000 to U+001F and U+007F) written out as \0, \t, \n,
// \r or \xHH, so that a message quoting foreign text shows it whole: a window caption ends at a
// NUL and shows the other control characters as boxes or not at all.
std::string VisibleText(std::string_view text);

}  // namespace focura
