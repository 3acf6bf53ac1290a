#include "zserver/Repeat.h"

#include <string_view>

#include "zserver/Commands.h"

namespace focura::zcmd {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool StartsWith(std::string_view text, std::string_view head) {
  return text.substr(0, head.size()) == head;
}

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Digits, optionally followed by a decimal separator (whatever the regional settings make it:
// anything but a digit, a blank or a command separator) and more digits.
bool IsUnsignedNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsDigit(text[i]))
    ++i;
  if (i == 0)
    return false;
  if (i == text.size())
    return true;
  const size_t separator = i;
  while (i < text.size() && !IsDigit(text[i])) {
    if (text[i] == ' ' || text[i] == ';')
      return false;
    ++i;
  }
  if (i - separator > 4 || i == text.size())
    return false;
  while (i < text.size() && IsDigit(text[i]))
    ++i;
  return i == text.size();
}

// "Z " & F(z) & " ; Z Wait ;" exactly as the run builds it.
bool IsAbsoluteMove(std::string_view command) {
  constexpr std::string_view head = "Z ";
  constexpr std::string_view tail = " ; Z Wait ;";
  if (command.size() <= head.size() + tail.size() || !StartsWith(command, head) ||
      !EndsWith(command, tail)) {
    return false;
  }
  std::string_view z = command.substr(head.size(), command.size() - head.size() - tail.size());
  if (!z.empty() && z.front() == '-')
    z.remove_prefix(1);
  return IsUnsignedNumber(z);
}

// "Obj Get" & S(i).
bool IsStoredPositionQuery(std::string_view command) {
  constexpr std::string_view head = "Obj Get";
  if (!StartsWith(command, head) || command.size() < head.size() + 2)
    return false;
  const char sign = command[head.size()];
  if (sign != ' ' && sign != '-')
    return false;
  for (char c : command.substr(head.size() + 1)) {
    if (!IsDigit(c))
      return false;
  }
  return true;
}

}  // namespace

bool SafeToRepeat(const std::string& command) {
  for (const std::string* same :
       {&kWhere, &kObjGetNum, &kShow, &kHide, &kJoyOn, &kProbeController, &kTriggerOff}) {
    if (command == *same)
      return true;
  }
  return IsAbsoluteMove(command) || IsStoredPositionQuery(command);
}

std::string NotRepeatedText(const std::string& command) {
  if (StartsWith(command, "Z Rel ")) {
    return "the Z server answered \"retry later\"; the step may or may not have been made, so "
           "it is not sent again";
  }
  return "the Z server answered \"retry later\"; the command may or may not have taken effect, "
         "so it is not sent again";
}

}  // namespace focura::zcmd
