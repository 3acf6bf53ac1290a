#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "capture/KeyStroke.h"
#include "text/Errors.h"

namespace focura {

// Malformed key notation; what() names the text and the (0-based) position.
struct KeyNotationError : ConversionError {
  KeyNotationError(const std::string& message, size_t position)
      : ConversionError(message), position_(position) {}
  size_t Position() const { return position_; }

 private:
  size_t position_;
};

// Parses SendKeys notation ("+", "^", "%" modifiers, groups in parentheses, "~" for Enter, braced
// key names, repeats and braced literals) into key strokes. Throws KeyNotationError.
KeyStrokes ParseKeys(std::string_view notation);

// The braced name of a named key in that notation ("ENTER" for NamedKey::Enter); "" for None.
std::string_view KeyName(NamedKey key);

}  // namespace focura
