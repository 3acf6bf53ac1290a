// Number text in both directions and with both separators. The first byte chooses the separator
// (bit 0) and the decimals (bits 1 to 4); the rest is read as a text, and its first eight bytes
// also as a Double to format.
//  - A formatted Double reads back to within half a unit of its last place.
//  - A text reads as the C library reads it (correctly rounded), or fails; a failure for size
//    means the C library finds it beyond the Double range too; the other separator never reads.

#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzCheck.h"
#include "text/Errors.h"
#include "text/NumberText.h"

namespace {

void CheckFormat(const focura::NumberText& num, double value, int decimals) {
  const std::string text = num.Format(value, decimals);
  if (!std::isfinite(value)) {
    FUZZ_CHECK(text == "NaN" || text == "Infinity" || text == "-Infinity");
    return;
  }
  const double back = num.ToDouble(text);
  const double unit = std::pow(10.0, -decimals);
  const double ulp = std::nextafter(std::fabs(value), INFINITY) - std::fabs(value);
  FUZZ_CHECK(std::fabs(back - value) <= unit / 2 + ulp);
  if (std::fabs(value) < 2e9)
    FUZZ_CHECK(std::fabs(num.ToInt32(num.Format0(value)) - value) <= 0.5);
}

void CheckParse(const focura::NumberText& num, const std::string& text) {
  const char other = num.DecimalSeparator() == "." ? ',' : '.';
  std::string cText = text;
  for (char& c : cText) {
    if (c == num.DecimalSeparator()[0])
      c = '.';
  }
  try {
    const double value = num.ToDouble(text);
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(text.find(other) == std::string::npos);
    errno = 0;
    const double expected = std::strtod(cText.c_str(), nullptr);
    FUZZ_CHECK(value == expected || (value == 0.0 && std::fabs(expected) <= DBL_TRUE_MIN));
  } catch (const focura::ConversionError& e) {
    if (e.what() == "\"" + text + "\" is beyond the range of a number") {
      FUZZ_CHECK(std::isinf(std::strtod(cText.c_str(), nullptr)));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const focura::NumberText num((data[0] & 1) ? "," : ".");
  const int decimals = (data[0] >> 1) & 0xF;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  double value = 0.0;
  std::memcpy(&value, text.data(), std::min(text.size(), sizeof value));
  CheckFormat(num, value, decimals);
  CheckParse(num, text);
  return 0;
}
