#pragma once
// The reasons behind a refusal, each one sentence naming what held the refused text, the text and
// why: what the status line's tooltip shows beside the bare "Error" or "Not a number".

#include <string>
#include <string_view>

#include "text/NumberText.h"

namespace focura {

// What a text was to become.
enum class NumberKind { Real, Count16, Whole32 };

// "<what>: ..." for `text` that `num` refused as a number of `kind`: empty, written with the
// other decimal separator, beyond the type's range or not a number at all.
std::string BoxRefusal(const NumberText& num, std::string_view what, std::string_view text,
                       NumberKind kind);

// "<what>: the Z server's reply "..." [to "<command>"] has no number" for a reply whose counting
// token `token` is not a number, with the separator hint where it applies.
std::string ReplyRefusal(const NumberText& num, std::string_view what, std::string_view reply,
                         std::string_view command, std::string_view token);

}  // namespace focura
