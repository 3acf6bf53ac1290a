#pragma once
// One ZAcq wired to the recording fakes, for the plan, run and trigger tests, with the window's
// side of the plan and the run button over the fake window.

#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "fakes/Fakes.h"
#include "text/NumberText.h"
#include "ui/PlanView.h"
#include "ui/WindowRunView.h"

namespace focura::testing {

struct AcqRig {
  explicit AcqRig(std::string decimalSeparator = ".") : num(std::move(decimalSeparator)) {
    acq.LoadDefaults();
    acq.ReportProgressTo(ports);
    acq.KeepAwakeWith(ports);
  }
  void Plan(double top, double bottom, double step, int32_t planes) {
    set.ZTop = top;
    set.ZBottom = bottom;
    set.StepSize = step;
    set.NumPlanes = planes;
  }
  // The three boxes a run reads its waits from, in seconds.
  void Timings(const char* capture, const char* settle, const char* period) {
    w.texts[Control::txtDelay] = capture;
    w.texts[Control::txtSettle] = settle;
    w.texts[Control::txtPeriod] = period;
  }
  // "Acquire Z Stack" as the window runs it: the timings read from the boxes, then the run.
  int16_t Acquire() { return AcquireStack(acq, w); }
  PlanCheck Prepare() { return PrepareStack(set, w, num); }
  void ShowPlan() { focura::ShowPlan(set, w, num); }
  // The hardware trigger launched: each frame is a pulse of two commands.
  void HardwareTrigger(int32_t holdMs) {
    set.Frame.CaptureType = kCaptureHardware;
    set.Frame.CaptureTaskId = 1;
    set.Frame.TriggerHoldMs = holdMs;
  }
  fakes::FakeZServer z;
  fakes::FakeWindow w;
  fakes::FakeClock clock;
  fakes::FakeDesktop desk;
  NumberText num;
  fakes::FakeRunPorts ports;
  WindowRunView view{w};
  ZAcq acq{z, view, clock, desk, num};
  // What the tests set up and look at: the settings and the run.
  AcqSettings& set = acq.Settings;
  StackRun& run = acq.Run;
};

}  // namespace focura::testing
