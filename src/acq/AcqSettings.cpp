#include "acq/AcqSettings.h"

namespace focura {

void LoadDefaultSettings(AcqSettings& s) {
  s.ZTop = NotSetD;
  s.ZBottom = NotSetD;
  s.StepSize = NotSetD;
  s.NumPlanes = NotSet;
  s.CaptureDelay = 2.0;
  s.SettleDelay = 1.0;
  s.Period = 0.0;
  s.Frame.KeyDelayMs = 200;
  s.Frame.TriggerHoldMs = 500;
  s.Frame.FujiKey = 1;
}

}  // namespace focura
