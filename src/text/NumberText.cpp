#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "text/Blanks.h"
#include "text/Errors.h"

namespace focura {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Adds one unit in the last place of a string of decimal digits; returns true on a carry out.
bool IncrementDigits(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  return true;
}

// Exponents are read up to this size; beyond it every mantissa is out of range either way.
constexpr int64_t kExponentCap = 1'000'000'000;

ConversionError NotANumber(std::string_view text) {
  return ConversionError("\"" + std::string(text) + "\" is not a number");
}

}  // namespace

NumberText::NumberText(std::string decimalSeparator) : sep_(std::move(decimalSeparator)) {
  if (sep_.empty())
    sep_ = ".";
}

std::string NumberText::Format(double value, int decimals) const {
  if (decimals < 0)
    decimals = 0;
  if (decimals > 15)
    decimals = 15;
  if (std::isnan(value))
    return "NaN";
  if (std::isinf(value))
    return value < 0 ? "-Infinity" : "Infinity";

  // Print the exact binary value with guard digits, then round the decimal digits ourselves so
  // that an exact tie goes away from zero, as a reader of "0.125 -> 0.13" expects. Thirty guard
  // digits resolve every double that is not an exact tie at the rounding position.
  const bool negative = std::signbit(value);
  const int guard = 30;
  char buf[400];
  int n = std::snprintf(buf, sizeof buf, "%.*f", decimals + guard, std::fabs(value));
  if (n <= 0 || n >= static_cast<int>(sizeof buf))
    throw ArithmeticError("Overflow");
  std::string text(buf, static_cast<size_t>(n));
  const size_t point = text.find('.');
  std::string intPart = text.substr(0, point);
  std::string frac = text.substr(point + 1);
  std::string kept = intPart + frac.substr(0, static_cast<size_t>(decimals));
  const std::string_view rest = std::string_view(frac).substr(static_cast<size_t>(decimals));
  if (!rest.empty() && rest.front() >= '5') {
    if (IncrementDigits(kept))
      kept.insert(kept.begin(), '1');
  }
  const size_t intLen = kept.size() - static_cast<size_t>(decimals);
  std::string out;
  const bool allZero = kept.find_first_not_of('0') == std::string::npos;
  if (negative && !allZero)
    out += '-';
  out += kept.substr(0, intLen);
  if (decimals > 0) {
    out += sep_;
    out += kept.substr(intLen);
  }
  return out;
}

double NumberText::ToDouble(std::string_view text) const {
  const std::string_view s = TrimBlanks(text);
  // Validate the shape first: [sign] digits [sep digits] [e [sign] digits], with at least one
  // digit in the mantissa. Build a plain "C" form for from_chars on the way.
  std::string plain;
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  std::string digits;  // the mantissa's digits without the separator
  size_t intDigits = 0;
  while (i < s.size() && IsDigit(s[i])) {
    plain += s[i];
    digits += s[i++];
    ++intDigits;
  }
  if (s.substr(i).starts_with(sep_)) {
    i += sep_.size();
    plain += '.';
    while (i < s.size() && IsDigit(s[i])) {
      plain += s[i];
      digits += s[i++];
    }
  }
  if (digits.empty())
    throw NotANumber(text);
  int64_t exponent = 0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    plain += 'e';
    ++i;
    bool negativeExponent = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
      negativeExponent = s[i] == '-';
      plain += s[i++];
    }
    size_t expDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
      // Far beyond any Double's exponent the size no longer matters; stop before it overflows.
      if (exponent < kExponentCap)
        exponent = exponent * 10 + (s[i] - '0');
      plain += s[i++];
      ++expDigits;
    }
    if (expDigits == 0)
      throw NotANumber(text);
    if (negativeExponent)
      exponent = -exponent;
  }
  if (i != s.size())
    throw NotANumber(text);

  double value = 0.0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // Decide by the value's size, not by the exponent's sign: "4000...0e-0" is huge and
    // "0.000...01" is tiny. The leading digit stands for 10^(magnitude - 1).
    const size_t lead = digits.find_first_not_of('0');
    const int64_t magnitude =
        static_cast<int64_t>(intDigits) - static_cast<int64_t>(lead) + exponent;
    if (lead != std::string::npos && magnitude > 0) {
      throw ConversionError("\"" + std::string(text) + "\" is beyond the range of a number");
    }
    value = 0.0;
  } else if (ec != std::errc() || end != plain.data() + plain.size()) {
    throw NotANumber(text);
  }
  return negative ? -value : value;
}

int16_t NumberText::ToInt16(std::string_view text) const {
  const double v = ToDouble(text);
  try {
    return RoundToInt16(v);
  } catch (const ArithmeticError&) {
    throw ConversionError("\"" + std::string(text) + "\" is out of range (-32768 to 32767)");
  }
}

int32_t NumberText::ToInt32(std::string_view text) const {
  const double v = ToDouble(text);
  try {
    return RoundToInt32(v);
  } catch (const ArithmeticError&) {
    throw ConversionError("\"" + std::string(text) +
                          "\" is out of range (-2147483648 to 2147483647)");
  }
}

namespace {

double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double diff = value - lower;
  if (diff > 0.5)
    return lower + 1.0;
  if (diff < 0.5)
    return lower;
  return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

template <typename Int>
Int CheckedInt(double value) {
  if (std::isnan(value) || value < static_cast<double>(std::numeric_limits<Int>::min()) ||
      value > static_cast<double>(std::numeric_limits<Int>::max())) {
    throw ArithmeticError("Overflow");
  }
  return static_cast<Int>(value);
}

}  // namespace

int16_t RoundToInt16(double value) {
  return CheckedInt<int16_t>(RoundHalfEven(value));
}
int32_t RoundToInt32(double value) {
  return CheckedInt<int32_t>(RoundHalfEven(value));
}
int32_t TruncToInt32(double value) {
  return CheckedInt<int32_t>(std::trunc(value));
}

}  // namespace focura
