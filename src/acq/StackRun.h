#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "acq/AcqSettings.h"
#include "acq/RunEstimate.h"
#include "acq/RunProgress.h"
#include "acq/RunReport.h"
#include "acq/RunView.h"
#include "acq/StayAwake.h"
#include "capture/Desktop.h"
#include "capture/FrameTrigger.h"
#include "capture/TriggerPulse.h"
#include "text/NumberText.h"
#include "wait/Delay32.h"
#include "zserver/ZServer.h"

namespace focura {

// The run of a stack and the state it leaves behind. It reaches the Z server, the window, the
// clock and the desktop only through the ports given here, and tells what happens through one
// report.
class StackRun {
 public:
  StackRun(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop, const NumberText& num);
  StackRun(const StackRun&) = delete;
  StackRun& operator=(const StackRun&) = delete;

  // Runs the plan of `settings` with its timings, which the caller has checked and read. The
  // window's handlers run at each pump and may change `settings`: the run takes them as they
  // stand then. 1 finished, -1 refused, cancelled or failed, 0 another run is in progress.
  int16_t Acquire(const AcqSettings& settings);
  bool Running() const { return RunDepth > 0; }
  // The plane the run in progress is at (0 until its first) and its plane count.
  int32_t RunPlane() const { return Plane; }
  int32_t RunPlanes() const { return Planes; }
  // Asks the run in progress to stop after its current plane.
  void RequestCancel() { CancelZ = 1; }

  // One frame with these capture settings ("Capture" and every plane of a run).
  void CaptureFrame(const FrameSettings& frame);
  FramePorts FramePortsNow() { return {ZServ, Desk, Delay, Trigger, Report}; }

  // Who is told how far a run is, and who keeps the system awake during it; nobody until set.
  // Both must outlive every run.
  void ReportProgressTo(RunProgress& progress) { Timed.Forward(progress); }
  void KeepAwakeWith(StayAwake& awake) { Awake = &awake; }

  int16_t CancelZ = 0;
  std::string ZLog;
  // The mean time of one plane's move and position query in the last run that moved, in ms;
  // negative before any.
  double MeasuredMoveMs = -1;
  // The simulator's speed in um/s while it is the Z server; empty otherwise.
  std::function<double()> SimulatorSpeed;
  // Said at start and in the run's progress while a simulator registered for the user stands in
  // for this PC's Z server; "" otherwise.
  std::string StandInNote;
  // The hardware trigger output, as far as the tool knows it.
  TriggerOutput Trigger;

  Delay32 Delay;
  const NumberText& Num;

 private:
  ZServer& ZServ;
  RunView& View;
  Desktop& Desk;

  int16_t RunDepth = 0;
  int32_t Plane = 0;
  int32_t Planes = 0;
  TimedProgress Timed{*this};
  StatusAndProgress Report{View, Timed};
  NoStayAwake NoAwake;
  StayAwake* Awake = &NoAwake;
};

}  // namespace focura
