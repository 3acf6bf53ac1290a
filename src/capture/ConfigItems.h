#pragma once
// The item format of the two configuration files beside the executable: items separated by
// commas and line ends, as a classic sequential reader sees them.

#include <string>
#include <string_view>
#include <vector>

namespace focura {

// Every item of the text, in order:
// - items are separated by commas and by line ends (CR, LF or CR LF); an empty line is an empty
//   item;
// - blanks (U+0020) before an item are skipped; blanks after it belong to it;
// - an item that begins with a double quote ends at the next double quote, which may lie on a
//   later line; the quotes are dropped and commas and line ends between them are kept; without a
//   closing quote the item runs to the end of the text; text other than blanks between the
//   closing quote and the next separator (a quoted program path's arguments) is kept, and then
//   so are the quotes;
// - a double quote inside an item that does not begin with one is an ordinary character;
// - a comma always opens one more item (so "a," ends in an empty item), while a line end at the
//   very end of the text opens none (so "a" and "a" CR LF read alike).
std::vector<std::string> ReadConfigItems(std::string_view text);

// The item that counts: the last one, or "" when the text holds none.
std::string LastConfigItem(std::string_view text);

}  // namespace focura
