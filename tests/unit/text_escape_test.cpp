#include <gtest/gtest.h>

#include <string>

#include "text/VisibleText.h"

namespace focura {
namespace {

// Both escape sets side by side: a message shows every control character and leaves backslashes
// alone, a log field escapes only what would split or end its line, and the backslash that marks
// an escape.
TEST(EscapeText, EachSetEscapesItsOwnCharacters) {
  struct Case {
    std::string text, message, field;
  };
  const Case cases[] = {
      {"plain", "plain", "plain"},
      {"a\tb\r\nc", "a\\tb\\r\\nc", "a\\tb\\r\\nc"},
      {"C:\\dir", "C:\\dir", "C:\\\\dir"},
      {std::string("x\0y", 3), "x\\0y", std::string("x\0y", 3)},
      {"\x01\x1F\x7F", "\\x01\\x1F\\x7F", "\x01\x1F\x7F"},
      {"\xC3\xA9 \x80", "\xC3\xA9 \x80", "\xC3\xA9 \x80"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VisibleText(c.text), c.message) << c.message;
    EXPECT_EQ(EscapeText(c.text, EscapeSet::ControlCharacters), c.message) << c.message;
    EXPECT_EQ(EscapeText(c.text, EscapeSet::FieldSeparators), c.field) << c.message;
  }
}

}  // namespace
}  // namespace focura
