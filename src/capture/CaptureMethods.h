#pragma once
// The capture methods: their table, the choice in the "Image Capture" menu, the launch of the
// capture program (or the probe of the hardware trigger) and the two files of the custom method.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "acq/ZAcq.h"
#include "capture/Files.h"

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
  std::string_view menuItem;
  std::string_view caption;
  std::string_view programPath;  // the fixed program, empty when there is none
  CaptureKeyRule keyRule;
  std::string_view key;  // key notation, for CaptureKeyRule::Fixed
};

inline constexpr int16_t kCaptureFromFile = 5;
inline constexpr std::string_view kProgPathFile = "captureprogpath.txt";
inline constexpr std::string_view kCaptureKeyFile = "capturekey.txt";

// The six methods in the order of their menu items.
std::span<const CaptureMethod> CaptureMethods();
const CaptureMethod* FindCaptureMethod(int16_t code);
const CaptureMethod* FindCaptureMethod(std::string_view menuItem);

// Why the chosen method's frames will send no key (a Fuji key other than 1 or 2, no key from
// capturekey.txt), or "" when they will send one or are pulses.
std::string KeylessReason(const ZAcq& acq);

// A program path as a command line: in double quotes, so that a path with blanks can never start
// the program named by its part before a blank ("C:\\Program.exe").
std::string QuoteProgramPath(std::string_view path);

// The handlers of the capture menu and the launch button. Uses the window, the Z server and the
// desktop that `acq` holds.
class CaptureControls {
 public:
  CaptureControls(ZAcq& acq, Files& files) : acq_(acq), files_(files) {}

  // Check mark on the chosen method's item only, launch button enabled; nothing without a method.
  void SyncCaptureMenu();
  // The new CaptureTaskId, or 0 when the start or the probe failed.
  int32_t LaunchCapture();
  void LoadCaptureProgPath();
  void LoadCaptureKey();

  // A click on one of the six method items (by name); false for any other name.
  bool MethodItem_Click(std::string_view menuItem);
  void mnuCapture_Click() { SyncCaptureMenu(); }
  void cmdLaunchCapture_Click();

 private:
  // The file's counting item without blanks around it, or nothing after a message in the status
  // line and the launch button disabled.
  std::optional<std::string> ReadConfigFile(std::string_view name);

  ZAcq& acq_;
  Files& files_;
};

}  // namespace focura
