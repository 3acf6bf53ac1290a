#include "acq/ZAcq.h"

namespace focura {

ZAcq::ZAcq(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop, const NumberText& num)
    : Delay(clock), Num(num), ZServ(zserv), View(view), Desk(desktop) {}

void ZAcq::LoadDefaults() {
  ZTop = NotSetD;
  ZBottom = NotSetD;
  StepSize = NotSetD;
  NumPlanes = NotSet;
  CaptureDelay = 2.0;
  SettleDelay = 1.0;
  Period = 0.0;
  Frame.KeyDelayMs = 200;
  Frame.TriggerHoldMs = 500;
  Frame.FujiKey = 1;
}

void ZAcq::CaptureFrame() {
  focura::CaptureFrame(Frame, FramePortsNow());
}

}  // namespace focura
