#include "sim/core/CommandParser.h"

#include <cmath>
#include <optional>

#include "text/Blanks.h"
#include "text/Errors.h"

namespace zsim {
namespace {

Step MakeStep(Op op, double a = 0.0, double b = 0.0) {
  Step s;
  s.op = op;
  s.a = a;
  s.b = b;
  return s;
}

struct Word {
  std::string_view text;
  size_t end;  // offset just past the word in its step
};

std::vector<Word> Words(std::string_view s) {
  std::vector<Word> words;
  size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && s[i] == ' ')
      ++i;
    const size_t start = i;
    while (i < s.size() && s[i] != ' ')
      ++i;
    if (i > start)
      words.push_back({s.substr(start, i - start), i});
  }
  return words;
}

bool Is(std::string_view word, std::string_view keyword) {
  if (word.size() != keyword.size())
    return false;
  for (size_t i = 0; i < word.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(word[i]) != lower(keyword[i]))
      return false;
  }
  return true;
}

std::optional<double> Number(std::string_view word, const focura::NumberText& num) {
  try {
    const double v = num.ToDouble(word);
    if (!std::isfinite(v))
      return std::nullopt;
    return v;
  } catch (const focura::ConversionError&) {
    return std::nullopt;
  }
}

// An index is a whole number with an optional sign; no separator, no exponent.
std::optional<int32_t> Index(std::string_view word) {
  size_t i = 0;
  bool negative = false;
  if (!word.empty() && (word[0] == '-' || word[0] == '+')) {
    negative = word[0] == '-';
    i = 1;
  }
  if (i == word.size() || word.size() - i > 10)
    return std::nullopt;
  int64_t v = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9')
      return std::nullopt;
    v = v * 10 + (word[i] - '0');
  }
  if (negative)
    v = -v;
  if (v < INT32_MIN || v > INT32_MAX)
    return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<Step> ParseZ(const std::vector<Word>& w, const focura::NumberText& num) {
  if (w.size() == 2 && w[1].text == "?")
    return MakeStep(Op::Where);
  if (w.size() == 2 && Is(w[1].text, "Wait"))
    return MakeStep(Op::Wait);
  if (w.size() == 3 && Is(w[1].text, "Rel")) {
    if (auto d = Number(w[2].text, num))
      return MakeStep(Op::MoveBy, *d);
    return std::nullopt;
  }
  if (w.size() == 2) {
    if (auto z = Number(w[1].text, num))
      return MakeStep(Op::MoveTo, *z);
  }
  return std::nullopt;
}

std::optional<Step> ParseObj(const std::vector<Word>& w) {
  if (w.size() == 2 && Is(w[1].text, "GetNum"))
    return MakeStep(Op::ObjCount);
  std::optional<int32_t> index;
  const std::string_view second = w.size() >= 2 ? w[1].text : std::string_view();
  if (w.size() == 3 && Is(second, "Get")) {
    index = Index(w[2].text);
  } else if (w.size() == 2 && second.size() > 3 && Is(second.substr(0, 3), "Get")) {
    // "Obj Get-1": a negative index follows the keyword with no blank between.
    index = Index(second.substr(3));
  }
  if (!index)
    return std::nullopt;
  Step s = MakeStep(Op::ObjGet);
  s.index = *index;
  return s;
}

std::optional<Step> ParseCon(const std::vector<Word>& w) {
  if (w.size() != 2)
    return std::nullopt;
  if (Is(w[1].text, "/2&"))
    return MakeStep(Op::Probe);
  if (Is(w[1].text, "/2J1R"))
    return MakeStep(Op::TriggerOn);
  if (Is(w[1].text, "/2J0R"))
    return MakeStep(Op::TriggerOff);
  return std::nullopt;
}

std::optional<Step> ParseSim(std::string_view step, const std::vector<Word>& w,
                             const focura::NumberText& num) {
  if (w.size() < 2)
    return std::nullopt;
  const std::string_view verb = w[1].text;
  if (w.size() == 2) {
    if (Is(verb, "Store"))
      return MakeStep(Op::SimStore);
    if (Is(verb, "Pulses"))
      return MakeStep(Op::SimPulses);
    if (Is(verb, "Reset"))
      return MakeStep(Op::SimReset);
    if (Is(verb, "State"))
      return MakeStep(Op::SimState);
  }
  if (w.size() == 3 && (Is(verb, "Jog") || Is(verb, "Speed"))) {
    if (auto v = Number(w[2].text, num))
      return MakeStep(Is(verb, "Jog") ? Op::SimJog : Op::SimSpeed, *v);
    return std::nullopt;
  }
  if (w.size() == 4 && Is(verb, "Limits")) {
    auto lo = Number(w[2].text, num);
    auto hi = Number(w[3].text, num);
    if (lo && hi)
      return MakeStep(Op::SimLimits, *lo, *hi);
    return std::nullopt;
  }
  if (w.size() == 3 && Is(verb, "Busy")) {
    auto ms = Index(w[2].text);
    if (!ms || *ms < 0)
      return std::nullopt;
    Step s = MakeStep(Op::SimBusy);
    s.index = *ms;
    return s;
  }
  if (w.size() >= 3 && Is(verb, "Fail")) {
    auto k = Index(w[2].text);
    if (!k || *k < 1)
      return std::nullopt;
    Step s = MakeStep(Op::SimFail);
    s.index = *k;
    s.text = std::string(focura::TrimBlanks(step.substr(w[2].end)));
    return s;
  }
  return std::nullopt;
}

std::optional<Step> ParseStep(std::string_view step, const focura::NumberText& num) {
  const std::vector<Word> w = Words(step);
  const std::string_view head = w[0].text;
  if (w.size() == 1) {
    if (Is(head, "Show"))
      return MakeStep(Op::Show);
    if (Is(head, "Hide"))
      return MakeStep(Op::Hide);
    if (Is(head, "Unload"))
      return MakeStep(Op::Unload);
    return std::nullopt;
  }
  if (Is(head, "Joy") && w.size() == 2) {
    if (Is(w[1].text, "On"))
      return MakeStep(Op::JoyOn);
    if (Is(w[1].text, "Off"))
      return MakeStep(Op::JoyOff);
    return std::nullopt;
  }
  if (Is(head, "Z"))
    return ParseZ(w, num);
  if (Is(head, "Obj"))
    return ParseObj(w);
  if (Is(head, "CON"))
    return ParseCon(w);
  if (Is(head, "Sim"))
    return ParseSim(step, w, num);
  return std::nullopt;
}

}  // namespace

ParsedCommand ParseCommand(std::string_view command, const focura::NumberText& num) {
  ParsedCommand parsed;
  size_t start = 0;
  while (start <= command.size()) {
    size_t end = command.find(';', start);
    if (end == std::string_view::npos)
      end = command.size();
    const std::string_view step = focura::TrimBlanks(command.substr(start, end - start));
    start = end + 1;
    if (step.empty())
      continue;
    std::optional<Step> s = ParseStep(step, num);
    if (!s) {
      parsed.understood = false;
      parsed.notUnderstood = std::string(step);
      parsed.steps.clear();
      return parsed;
    }
    parsed.steps.push_back(std::move(*s));
  }
  return parsed;
}

}  // namespace zsim
