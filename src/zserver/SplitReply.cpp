#include "zserver/SplitReply.h"

#include <cstdint>
#include <limits>

#include "text/Blanks.h"
#include "text/Errors.h"

namespace focura {
int16_t SplitReply(std::string& reply, std::string& token) {
  const std::string s = std::string(TrimBlanks(reply)) + " ";
  const size_t n = s.find(' ');
  if (n > static_cast<size_t>(std::numeric_limits<int16_t>::max())) {
    throw ArithmeticError("Overflow: a reply token is longer than 32767 characters");
  }
  token = s.substr(0, n);
  reply = std::string(TrimBlanks(std::string_view(s).substr(n)));
  return static_cast<int16_t>(n);
}

std::string ReplyToken(std::string reply, int k) {
  std::string token;
  for (int i = 0; i < k; ++i)
    SplitReply(reply, token);
  return token;
}

}  // namespace focura
