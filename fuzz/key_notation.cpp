// The key notation parser: a text gives strokes or the parser's own error, whose message shows no
// control character and whose position lies within the text; strokes written back out in the
// notation parse to the same strokes.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "capture/KeyNotation.h"

namespace {

using focura::KeyStroke;
using focura::KeyStrokes;
using focura::NamedKey;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[extra] | (c >> (6 * extra)));
  for (int k = extra - 1; k >= 0; --k)
    out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

std::string Write(const KeyStrokes& keys) {
  std::string out;
  for (const KeyStroke& k : keys) {
    if (k.modifiers & focura::kModShift)
      out += '+';
    if (k.modifiers & focura::kModCtrl)
      out += '^';
    if (k.modifiers & focura::kModAlt)
      out += '%';
    if (k.key != NamedKey::None) {
      out += '{' + std::string(focura::KeyName(k.key)) + '}';
    } else if (k.ch < 0x80 && std::string_view("+^%~(){}[]").find(static_cast<char>(k.ch)) !=
                                  std::string_view::npos) {
      out += '{' + std::string(1, static_cast<char>(k.ch)) + '}';
    } else {
      AppendUtf8(out, k.ch);
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  KeyStrokes keys;
  try {
    keys = focura::ParseKeys(text);
  } catch (const focura::KeyNotationError& e) {
    const std::string message = e.what();
    // A NUL would cut the message at what() and lose the reason and position.
    FUZZ_CHECK(message.starts_with("Key notation \"") &&
               message.find("\" is malformed at position ") != std::string::npos);
    FUZZ_CHECK(e.Position() <= text.size());
    FUZZ_CHECK(std::none_of(message.begin(), message.end(), [](char c) {
      return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    }));
    return 0;
  }
  FUZZ_CHECK(keys.size() <= 999 * text.size());
  FUZZ_CHECK(focura::ParseKeys(Write(keys)) == keys);
  return 0;
}
