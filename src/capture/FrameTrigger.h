#pragma once
// One frame per plane: the capture program's key, or a pulse of the controller's trigger output.

#include <cstdint>
#include <string>

#include "capture/Desktop.h"

namespace focura {

class Delay32;
class ZServer;
struct TriggerOutput;

// The options of the frame trigger, as the operator sets them.
struct FrameSettings {
  // Capture method (a code of CaptureMethods(), 0 for none) and the program launched for it.
  int16_t CaptureType = 0;
  int32_t CaptureTaskId = 0;
  // The key read from capturekey.txt, in key notation.
  std::string CaptureKey;
  int32_t KeyDelayMs = 200;
  int32_t TriggerHoldMs = 500;
  int32_t FujiKey = 1;
};

// Where the frame trigger and the run tell the operator what happens: the status line.
class StatusReport {
 public:
  virtual ~StatusReport() = default;
  virtual void Status(const std::string& text) = 0;
  // What lies behind the text just reported (a refusal's reason); "" for none.
  virtual void StatusTip(const std::string& text) = 0;
};

// What a frame tells the operator: a line in the status line, and that the capture program keeps
// its keys waiting.
class FrameReport : public StatusReport, public KeyWaitWatcher {};

// What a frame uses: the Z server (pulses), the desktop (keys), the wait, the trigger output's
// state and its report.
struct FramePorts {
  ZServer& zserver;
  Desktop& desktop;
  Delay32& delay;
  TriggerOutput& trigger;
  FrameReport& report;
};

// Triggers one frame with the chosen capture method: the capture program's key, or a pulse of
// the controller's trigger output. Returns at once when nothing was launched.
void CaptureFrame(const FrameSettings& settings, const FramePorts& ports);

}  // namespace focura
