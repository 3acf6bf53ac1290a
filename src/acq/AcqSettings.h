#pragma once
// The acquisition settings: what the operator has set up for the next run, as plain data.

#include <cstdint>
#include <string>

#include "capture/FrameTrigger.h"

namespace focura {

// A plan field holding exactly this value counts as not set.
inline constexpr int32_t NotSet = 77777;
inline constexpr double NotSetD = 77777.0;

struct AcqSettings {
  // The frame trigger's options: the part of the settings the capture layer sees.
  FrameSettings Frame;

  // Stack plan.
  double ZTop = NotSetD;
  double ZBottom = NotSetD;
  double StepSize = NotSetD;
  int32_t NumPlanes = NotSet;

  // Timings of a run, in seconds; the window's boxes are read into them as a run starts.
  double CaptureDelay = 2.0;
  double SettleDelay = 1.0;
  double Period = 0.0;

  // The command line of the custom capture method (captureprogpath.txt).
  std::string CaptureProgPath;

  // The method CaptureTaskId was launched for (0: none yet): a run after another method was
  // chosen sends its frames to a program launched for something else.
  int16_t LaunchedType = 0;
};

// The settings as the window's load leaves them: the plan not set, the timings and the frame's
// waits and key at their defaults; the capture method, its program and its key stay.
void LoadDefaultSettings(AcqSettings& settings);

}  // namespace focura
