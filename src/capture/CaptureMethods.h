#pragma once
// The capture methods: their table (the items of the "Image Capture" menu), their codes and the
// keys their frames send.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "capture/FrameTrigger.h"

namespace focura {

// How a method's keystroke per frame is chosen.
enum class CaptureKeyRule {
  Fixed,       // always `key`
  ByFujiKey,   // FujiKey 1: a blank, 2: "{ENTER}", any other value: none
  CaptureKey,  // the key read from capturekey.txt
  None,        // no keystroke: an output pulse
};

struct CaptureMethod {
  int16_t code;
  std::string_view caption;
  std::string_view programPath;  // the fixed program, empty when there is none
  CaptureKeyRule keyRule;
  std::string_view key;  // key notation, for CaptureKeyRule::Fixed
};

inline constexpr int16_t kCaptureFromFile = 5;
inline constexpr int16_t kCaptureHardware = 100;
inline constexpr std::string_view kProgPathFile = "captureprogpath.txt";
inline constexpr std::string_view kCaptureKeyFile = "capturekey.txt";

// The six methods in the order of their menu items.
std::span<const CaptureMethod> CaptureMethods();
const CaptureMethod* FindCaptureMethod(int16_t code);

// Why the chosen method's frames will send no key (a Fuji key other than 1 or 2, no key from
// capturekey.txt), or "" when they will send one or are pulses.
std::string KeylessReason(const FrameSettings& settings);

// A program path as a command line: in double quotes, so that a path with blanks can never start
// the program named by its part before a blank ("C:\\Program.exe").
std::string QuoteProgramPath(std::string_view path);

}  // namespace focura
