#pragma once

#include <cstdint>
#include <string>

namespace focura {

// Cuts the first blank-separated token off `reply` into `token` and leaves the rest, trimmed, in
// `reply`. Only U+0020 separates; a run of blanks is one separator. Returns the token's length;
// a token longer than 32767 characters throws ArithmeticError.
int16_t SplitReply(std::string& reply, std::string& token);

// Token k (1-based) of a reply, as k calls of SplitReply leave it.
std::string ReplyToken(std::string reply, int k);

}  // namespace focura
