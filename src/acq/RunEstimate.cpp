#include "acq/RunEstimate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "acq/StackRun.h"
#include "capture/CaptureMethods.h"
#include "zserver/SimulatorStandIn.h"

namespace focura {

namespace {

// Whole milliseconds as the run takes them from the boxes' seconds.
double TimingMs(double seconds) {
  return std::isfinite(seconds) && seconds > 0 ? std::trunc(seconds * 1000.0) : 0.0;
}

// What a frame waits for itself: the hold of the trigger, or the key delay after the activation.
double FrameMs(const AcqSettings& acq) {
  if (acq.Frame.CaptureTaskId == 0)
    return 0;
  const int32_t ms =
      acq.Frame.CaptureType == kCaptureHardware ? acq.Frame.TriggerHoldMs : acq.Frame.KeyDelayMs;
  return ms > 0 ? ms : 0;
}

}  // namespace

RunEstimate EstimateRun(const AcqSettings& acq, const StackRun& run, double captureS,
                        double settleS, double periodS) {
  RunEstimate e;
  e.planes = acq.NumPlanes > 0 && acq.NumPlanes != NotSet ? acq.NumPlanes : 0;
  const double speed = run.SimulatorSpeed ? run.SimulatorSpeed() : 0.0;
  if (speed > 0 && acq.StepSize != NotSetD && std::isfinite(acq.StepSize)) {
    e.moves = MoveSource::SimulatorSpeed;
    e.speed = speed;
    e.moveMs = std::fabs(acq.StepSize) / speed * 1000.0;
  } else if (run.MeasuredMoveMs >= 0) {
    e.moves = MoveSource::LastRun;
    e.moveMs = run.MeasuredMoveMs;
  }
  const double work = e.moveMs + TimingMs(settleS) + FrameMs(acq) + TimingMs(captureS);
  e.planeMs = std::max(work, TimingMs(periodS));
  return e;
}

std::string LengthText(double ms) {
  char text[32];
  const double s = ms / 1000.0;
  if (s < 60)
    std::snprintf(text, sizeof text, "%.1f s", s);
  else if (s < 6000)
    std::snprintf(text, sizeof text, "%.1f min", s / 60);
  else
    std::snprintf(text, sizeof text, "%.1f h", s / 3600);
  return text;
}

std::string PlanesLeftText(int32_t plane, int32_t planes, double msLeft) {
  // "About": to the nearest minute, and never "0 min" while a plane is still to come.
  const double minutes = std::max(1.0, std::round(msLeft / 60000.0));
  char text[96];
  std::snprintf(text, sizeof text, "Plane %d of %d, about %.0f min left", static_cast<int>(plane),
                static_cast<int>(planes), minutes);
  return text;
}

void TimedProgress::Started(int32_t planes) {
  // The run has read its timings from the boxes by now.
  const AcqSettings& s = *settings_;
  planeMs_ = EstimateRun(s, run_, s.CaptureDelay, s.SettleDelay, s.Period).planeMs;
  inner_->Started(planes);
}

void TimedProgress::AtPlane(int32_t plane, int32_t planes) {
  inner_->AtPlane(plane, planes);
  const uint32_t now = run_.Delay.Now();
  if (plane <= 1)
    firstPlaneAt_ = now;
  // From plane 2 on, the planes so far say how long one really takes.
  const double perPlane =
      plane > 1 ? static_cast<double>(Delay32::Elapsed(firstPlaneAt_, now)) / (plane - 1)
                : planeMs_;
  std::string text = PlanesLeftText(plane, planes, perPlane * (planes - plane + 1));
  if (!run_.StandInNote.empty())
    text += std::string("; ") + kStandInShort;
  inner_->TimeLeft(text);
}

}  // namespace focura
