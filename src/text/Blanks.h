#pragma once

#include <string_view>

namespace focura {

// The text without the blanks (U+0020) at either end; tabs, line ends and other white space
// stay, as the operator's files, the Z server's replies and typed numbers keep them.
constexpr std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace focura
