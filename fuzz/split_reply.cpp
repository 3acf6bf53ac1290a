// The reply splitter: tokens hold no blank, each call shortens the reply, nothing but blanks is
// lost, and the k-th call leaves what ReplyToken(k) gives.

#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "zserver/SplitReply.h"

namespace {

std::string WithoutBlanks(std::string s) {
  std::erase(s, ' ');
  return s;
}

}  // namespace

// Replies are a few dozen characters; walking every token of a longer input costs time quadratic
// in its length and finds nothing new.
constexpr size_t kMaxReply = 1024;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), std::min(size, kMaxReply));
  std::string reply = input;
  std::string token;
  std::string joined;
  for (int call = 1;; ++call) {
    const size_t before = reply.size();
    const int16_t n = focura::SplitReply(reply, token);
    FUZZ_CHECK(n >= 0 && static_cast<size_t>(n) == token.size());
    FUZZ_CHECK(token.find(' ') == std::string::npos);
    FUZZ_CHECK(reply.empty() || (reply.front() != ' ' && reply.back() != ' '));
    if (call <= 3)  // the callers read tokens 1 to 3
      FUZZ_CHECK(focura::ReplyToken(input, call) == token);
    if (token.empty()) {
      FUZZ_CHECK(reply.empty());
      break;
    }
    FUZZ_CHECK(reply.size() < before);
    joined += token;
  }
  FUZZ_CHECK(joined == WithoutBlanks(input));
  return 0;
}
