#include "text/VisibleText.h"

namespace focura {

std::string EscapeText(std::string_view text, EscapeSet set) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const bool controls = set == EscapeSet::ControlCharacters;
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\t':
        out += "\\t";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\\':
        out += controls ? "\\" : "\\\\";
        continue;
      default:
        break;
    }
    if (!controls || (c >= 0x20 && c != 0x7F)) {
      out += ch;
    } else if (c == 0x00) {
      out += "\\0";
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out;
}

}  // namespace focura
