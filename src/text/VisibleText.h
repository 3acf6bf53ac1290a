#pragma once

#include <string>
#include <string_view>

namespace focura {

// Which characters EscapeText writes out as escapes.
enum class EscapeSet {
  // Every control character (U+0000 to U+001F and U+007F) as \0, \t, \n, \r or \xHH;
  // backslashes stay as they are: for a message quoting foreign text, read by a person.
  ControlCharacters,
  // Only the backslash, the tab and the line ends, as \\, \t, \n and \r: for one field of a
  // tab-separated line, which a reader turns back into the text.
  FieldSeparators,
};

std::string EscapeText(std::string_view text, EscapeSet set);

// The text with its control characters written out, so that a message quoting foreign text shows
// it whole: a window caption ends at a NUL and shows the other control characters as boxes or not
// at all.
inline std::string VisibleText(std::string_view text) {
  return EscapeText(text, EscapeSet::ControlCharacters);
}

}  // namespace focura
