#pragma once
// Numbers as the operator and the Z server see them: fixed patterns out, a strict parse in, both
// with the user's regional decimal separator.

#include <cstdint>
#include <string>
#include <string_view>

namespace focura {

class NumberText {
 public:
  explicit NumberText(std::string decimalSeparator = ".");

  const std::string& DecimalSeparator() const { return sep_; }

  // Fixed patterns "0", "0.0", "0.00", "0.0000": `decimals` digits after the separator (0..15).
  // Exact ties round away from zero (0.125 -> "0.13"); a negative value that rounds to zero shows
  // without a sign ("0.00"); no thousands separator.
  std::string Format(double value, int decimals) const;
  std::string Format0(double value) const { return Format(value, 0); }
  std::string Format1(double value) const { return Format(value, 1); }
  std::string Format2(double value) const { return Format(value, 2); }
  std::string Format4(double value) const { return Format(value, 4); }

  // Text to number: only U+0020 blanks around the number are ignored; an optional sign, digits
  // with an optional decimal separator and an optional exponent. Anything else, an empty text or
  // a value beyond the Double range throws ConversionError.
  double ToDouble(std::string_view text) const;
  // As ToDouble, then rounded half to even; out of range throws ConversionError.
  int16_t ToInt16(std::string_view text) const;
  int32_t ToInt32(std::string_view text) const;

 private:
  std::string sep_;
};

// Round half to even into the integer types; NaN or out of range throws ArithmeticError.
int16_t RoundToInt16(double value);
int32_t RoundToInt32(double value);
// Truncate toward zero into 32 bits (seconds to milliseconds); out of range throws ArithmeticError.
int32_t TruncToInt32(double value);

}  // namespace focura
