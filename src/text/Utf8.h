#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace focura {

// Appends code point `c` (at most U+10FFFF) to `out` in UTF-8.
void AppendUtf8(std::string& out, char32_t c);

// Decodes one code point of `s` at `i`, advancing `i` past it; returns false, `i` and `out`
// untouched, on an invalid, overlong or truncated sequence, a surrogate or a value beyond
// U+10FFFF. `i` must be below s.size().
bool DecodeOne(std::string_view s, size_t& i, char32_t& out);

}  // namespace focura
