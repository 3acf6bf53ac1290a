#include "acq/Refusals.h"

#include <cmath>
#include <string>

#include "text/Blanks.h"
#include "text/Errors.h"
#include "text/VisibleText.h"

namespace focura {

namespace {

std::string Quoted(std::string_view text) {
  return "\"" + VisibleText(text) + "\"";
}

bool Parses(const NumberText& num, std::string_view text) {
  try {
    num.ToDouble(text);
    return true;
  } catch (const ConversionError&) {
    return false;
  }
}

// Whether `text` reads as a number once written with this PC's separator instead of the other.
bool OtherSeparator(const NumberText& num, std::string_view text) {
  const std::string other = num.DecimalSeparator() == "," ? "." : ",";
  const size_t at = text.find(other);
  if (at == std::string_view::npos || text.find(other, at + 1) != std::string_view::npos)
    return false;
  std::string mended(text);
  mended.replace(at, other.size(), num.DecimalSeparator());
  return Parses(num, mended);
}

// Digits, a sign, the separator and an exponent only: a number too large for the Double range.
bool LooksNumeric(const NumberText& num, std::string_view text) {
  if (text.find_first_of("0123456789") == std::string_view::npos)
    return false;
  const std::string allowed = "0123456789+-eE" + num.DecimalSeparator();
  return text.find_first_not_of(allowed) == std::string_view::npos;
}

std::string NotANumberWhy(const NumberText& num, std::string_view text) {
  const std::string_view core = TrimBlanks(text);
  if (OtherSeparator(num, core))
    return " is not a number; this PC writes decimals with \"" + num.DecimalSeparator() + "\"";
  if (LooksNumeric(num, core))
    return " is beyond the number range";
  return " is not a number";
}

}  // namespace

std::string BoxRefusal(const NumberText& num, std::string_view what, std::string_view text,
                       NumberKind kind) {
  const std::string head = std::string(what) + ": ";
  if (TrimBlanks(text).empty())
    return head + "the box is empty";
  if (Parses(num, text)) {
    switch (kind) {
      case NumberKind::Count16:
        return head + Quoted(text) + " is beyond the range of a count (-32768 to 32767)";
      case NumberKind::Whole32:
        return head + Quoted(text) + " is beyond the range -2147483648 to 2147483647";
      case NumberKind::Real:
        break;
    }
    return head + Quoted(text) + " cannot be used";
  }
  return head + Quoted(text) + NotANumberWhy(num, text);
}

std::string ReplyRefusal(const NumberText& num, std::string_view what, std::string_view reply,
                         std::string_view command, std::string_view token) {
  std::string text = std::string(what) + ": the Z server's reply " + Quoted(reply);
  if (!command.empty())
    text += " to \"" + std::string(command) + "\"";
  const std::string_view core = TrimBlanks(token);
  if (!core.empty() && OtherSeparator(num, core))
    return text + " has no number; this PC writes decimals with \"" + num.DecimalSeparator() + "\"";
  if (!core.empty() && LooksNumeric(num, core))
    return text + " holds a number beyond the number range";
  return text + " has no number";
}

}  // namespace focura
