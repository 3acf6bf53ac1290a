#include "capture/KeyNotation.h"

#include <string>
#include <utility>

#include "text/Utf8.h"
#include "text/VisibleText.h"

namespace focura {

namespace {

struct NamedKeyText {
  const char* name;
  NamedKey key;
};

constexpr NamedKeyText kKeyNames[] = {
    {"ENTER", NamedKey::Enter},
    {"TAB", NamedKey::Tab},
    {"ESC", NamedKey::Escape},
    {"BS", NamedKey::Backspace},
    {"BACKSPACE", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace},
    {"DEL", NamedKey::Delete},
    {"DELETE", NamedKey::Delete},
    {"INS", NamedKey::Insert},
    {"INSERT", NamedKey::Insert},
    {"HOME", NamedKey::Home},
    {"END", NamedKey::End},
    {"PGUP", NamedKey::PageUp},
    {"PGDN", NamedKey::PageDown},
    {"UP", NamedKey::Up},
    {"DOWN", NamedKey::Down},
    {"LEFT", NamedKey::Left},
    {"RIGHT", NamedKey::Right},
    {"BREAK", NamedKey::Break},
    {"CAPSLOCK", NamedKey::CapsLock},
    {"NUMLOCK", NamedKey::NumLock},
    {"SCROLLLOCK", NamedKey::ScrollLock},
    {"PRTSC", NamedKey::PrintScreen},
    {"HELP", NamedKey::Help},
    {"F1", NamedKey::F1},
    {"F2", NamedKey::F2},
    {"F3", NamedKey::F3},
    {"F4", NamedKey::F4},
    {"F5", NamedKey::F5},
    {"F6", NamedKey::F6},
    {"F7", NamedKey::F7},
    {"F8", NamedKey::F8},
    {"F9", NamedKey::F9},
    {"F10", NamedKey::F10},
    {"F11", NamedKey::F11},
    {"F12", NamedKey::F12},
    {"F13", NamedKey::F13},
    {"F14", NamedKey::F14},
    {"F15", NamedKey::F15},
    {"F16", NamedKey::F16},
    {"ADD", NamedKey::Add},
    {"SUBTRACT", NamedKey::Subtract},
    {"MULTIPLY", NamedKey::Multiply},
    {"DIVIDE", NamedKey::Divide},
};

// A repeat larger than this is far more likely a typing slip than a wish.
constexpr int kMaxRepeat = 999;
// Deeper nesting serves no key and would only spend the stack, which is small on Windows.
constexpr int kMaxGroupDepth = 32;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  KeyStrokes Run() {
    Decode();
    ParseSequence(0, kTopLevel);
    return std::move(out_);
  }

 private:
  static constexpr size_t kTopLevel = static_cast<size_t>(-1);

  // The message quotes the notation as typed (invalid bytes shown as U+FFFD, control characters
  // written out) and counts characters from 1; Position() counts them from 0.
  [[noreturn]] void Fail(size_t at, const std::string& reason) const {
    std::string shown;
    for (size_t i = 0; i < text_.size();) {
      char32_t c = 0;
      if (!DecodeOne(text_, i, c)) {
        c = 0xFFFD;
        ++i;
      }
      AppendUtf8(shown, c);
    }
    throw KeyNotationError(VisibleText("Key notation \"" + shown + "\" is malformed at position " +
                                       std::to_string(at + 1) + ": " + reason),
                           at);
  }

  void Decode() {
    for (size_t i = 0; i < text_.size();) {
      char32_t c = 0;
      if (!DecodeOne(text_, i, c))
        Fail(cps_.size(), "not valid UTF-8 text");
      cps_ += c;
    }
  }

  bool AtEnd() const { return pos_ >= cps_.size(); }

  // Keys up to the end of the text, or up to the ")" that closes the group opened at `open`.
  void ParseSequence(uint8_t mods, size_t open) {
    while (!AtEnd()) {
      if (cps_[pos_] == U')') {
        if (open == kTopLevel)
          Fail(pos_, "closing parenthesis without an opening one");
        return;
      }
      ParseItem(mods);
    }
    if (open != kTopLevel)
      Fail(open, "unclosed parenthesis");
  }

  void ParseItem(uint8_t mods) {
    bool modified = false;
    size_t lastModifier = pos_;
    while (!AtEnd()) {
      const char32_t c = cps_[pos_];
      uint8_t bit = 0;
      if (c == U'+')
        bit = kModShift;
      if (c == U'^')
        bit = kModCtrl;
      if (c == U'%')
        bit = kModAlt;
      if (bit == 0)
        break;
      mods = static_cast<uint8_t>(mods | bit);
      modified = true;
      lastModifier = pos_++;
    }
    if (modified && (AtEnd() || cps_[pos_] == U')')) {
      Fail(lastModifier, "modifier with nothing after it");
    }
    const char32_t c = cps_[pos_];
    switch (c) {
      case U'(': {
        if (depth_ == kMaxGroupDepth) {
          Fail(pos_, "parentheses nested deeper than " + std::to_string(kMaxGroupDepth));
        }
        const size_t groupOpen = pos_++;
        const size_t before = out_.size();
        ++depth_;
        ParseSequence(mods, groupOpen);
        --depth_;
        if (out_.size() == before)
          Fail(groupOpen, "empty parentheses");
        ++pos_;  // the closing parenthesis
        return;
      }
      case U'~':
        out_.push_back(KeyStroke::Named(NamedKey::Enter, mods));
        ++pos_;
        return;
      case U'{':
        ParseBraced(mods);
        return;
      case U'}':
        Fail(pos_, "closing brace without an opening one");
      case U'[':
      case U']':
        Fail(pos_, "a bracket must be written {[} or {]}");
      default:
        out_.push_back(KeyStroke::Char(c, mods));
        ++pos_;
        return;
    }
  }

  // "{NAME}", "{NAME n}", "{c}", "{c n}", with "}" itself written "{}}".
  void ParseBraced(uint8_t mods) {
    const size_t brace = pos_;
    const size_t start = brace + 1;
    size_t searchFrom = start;
    if (start < cps_.size() && cps_[start] == U'}')
      searchFrom = start + 1;
    const size_t close = cps_.find(U'}', searchFrom);
    if (close == std::u32string::npos) {
      Fail(brace, searchFrom == start + 1 ? "empty braces" : "unclosed brace");
    }
    const std::u32string content = cps_.substr(start, close - start);
    if (content.empty())
      Fail(brace, "empty braces");

    std::u32string name = content;
    int count = 1;
    const size_t blank = content.rfind(U' ');
    if (blank != std::u32string::npos && blank > 0) {
      name = content.substr(0, blank);
      const std::u32string digits = content.substr(blank + 1);
      count = ParseCount(digits, start + blank + 1);
    }

    KeyStroke stroke;
    if (name.size() == 1) {
      stroke = KeyStroke::Char(name[0], mods);
    } else {
      stroke = KeyStroke::Named(LookUp(name, start), mods);
    }
    for (int i = 0; i < count; ++i)
      out_.push_back(stroke);
    pos_ = close + 1;
  }

  int ParseCount(const std::u32string& digits, size_t at) const {
    std::string shown;
    for (char32_t c : digits)
      AppendUtf8(shown, c);
    int value = 0;
    bool ok = !digits.empty() && digits.size() <= 3;
    for (char32_t c : digits) {
      if (!ok || c < U'0' || c > U'9') {
        ok = false;
        break;
      }
      value = value * 10 + static_cast<int>(c - U'0');
    }
    if (!ok || value < 1 || value > kMaxRepeat) {
      Fail(at, "bad repeat count \"" + shown + "\" (a whole number from 1 to 999)");
    }
    return value;
  }

  NamedKey LookUp(const std::u32string& name, size_t at) const {
    std::string upper;
    std::string shown;
    for (char32_t c : name) {
      AppendUtf8(shown, c);
      const char32_t u = (c >= U'a' && c <= U'z') ? c - (U'a' - U'A') : c;
      AppendUtf8(upper, u);
    }
    for (const NamedKeyText& k : kKeyNames) {
      if (upper == k.name)
        return k.key;
    }
    Fail(at, "unknown key name \"" + shown + "\"");
  }

  std::string_view text_;
  std::u32string cps_;
  size_t pos_ = 0;
  int depth_ = 0;
  KeyStrokes out_;
};

}  // namespace

KeyStrokes ParseKeys(std::string_view notation) {
  return Parser(notation).Run();
}

std::string_view KeyName(NamedKey key) {
  for (const NamedKeyText& k : kKeyNames) {
    if (k.key == key)
      return k.name;
  }
  return {};
}

}  // namespace focura
