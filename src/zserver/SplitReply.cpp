#include "zserver/SplitReply.h"

#include <cstdint>
#include <limits>

#include "text/Errors.h"

namespace focura {
namespace {

std::string TrimBlanks(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos)
    return {};
  const size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

}  // namespace

int16_t SplitReply(std::string& reply, std::string& token) {
  const std::string s = TrimBlanks(reply) + " ";
  const size_t n = s.find(' ');
  if (n > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw ArithmeticError("Overflow: a reply token is longer than 32767 characters");
  }
  token = s.substr(0, n);
  reply = TrimBlanks(s.substr(n));
  return static_cast<int16_t>(n);
}

std::string ReplyToken(std::string reply, int k) {
  std::string token;
  for (int i = 0; i < k; ++i)
    SplitReply(reply, token);
  return token;
}

}  // namespace focura
