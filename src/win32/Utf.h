#pragma once
// Text crosses into Windows as UTF-16 and comes back as UTF-8; the core sees only UTF-8.

#include <string>
#include <string_view>

namespace focura::win32 {

// Invalid UTF-8 sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

bool IsValidUtf8(std::string_view bytes);
// Bytes in the system's ANSI code page, as UTF-8.
std::string AnsiToUtf8(std::string_view bytes);

}  // namespace focura::win32
