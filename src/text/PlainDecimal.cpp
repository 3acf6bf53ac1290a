#include "text/PlainDecimal.h"

#include <array>
#include <charconv>

#include "text/Errors.h"

namespace focura {

std::string PlainDecimal(double z) {
  if (z == 0)
    return " 0";  // also -0: not negative
  std::array<char, 1100> buf{};
  const auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), z, std::chars_format::fixed);
  if (ec != std::errc())
    throw ArithmeticError("number too long to show");
  std::string text(buf.data(), end);
  return z < 0 ? text : " " + text;
}

}  // namespace focura
