#pragma once
// The acquisition settings and the procedures that work on them: the stack plan, the run.

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "acq/Delay32.h"
#include "acq/RunEstimate.h"
#include "acq/RunProgress.h"
#include "acq/StayAwake.h"
#include "capture/Desktop.h"
#include "capture/TriggerPulse.h"
#include "text/NumberText.h"
#include "ui/Window.h"
#include "zserver/ZServer.h"

namespace focura {

// A plan field holding exactly this value counts as not set.
inline constexpr int32_t NotSet = 77777;
inline constexpr double NotSetD = 77777.0;

inline constexpr int16_t kCaptureHardware = 100;

class ZAcq {
 public:
  ZAcq(ZServer& zserv, Window& window, Clock& clock, Desktop& desktop, const NumberText& num);
  ZAcq(const ZAcq&) = delete;
  ZAcq& operator=(const ZAcq&) = delete;

  // Settings as the window's load leaves them.
  void LoadDefaults();

  // Stack plan.
  double ZTop = NotSetD;
  double ZBottom = NotSetD;
  double StepSize = NotSetD;
  int32_t NumPlanes = NotSet;

  // Timings of a run, in seconds; taken from the window by PrepareStack.
  double CaptureDelay = 2.0;
  double SettleDelay = 1.0;
  double Period = 0.0;

  // Frame trigger options.
  int32_t KeyDelayMs = 200;
  int32_t TriggerHoldMs = 500;
  int32_t FujiKey = 1;

  // Capture method and the launched program.
  int16_t CaptureType = 0;
  int32_t CaptureTaskId = 0;
  std::string CaptureProgPath;
  std::string CaptureKey;

  // The method CaptureTaskId was launched for (0: none yet): a run after another method was
  // chosen sends its frames to a program launched for something else.
  int16_t LaunchedType = 0;

  // The run.
  int16_t CancelZ = 0;
  std::string ZLog;
  // The mean time of one plane's move and position query in the last run that moved, in ms;
  // negative before any.
  double MeasuredMoveMs = -1;
  // The simulator's speed in um/s while it is the Z server; empty otherwise.
  std::function<double()> SimulatorSpeed;

  // Why the last StepFromPlanes, PlanesFromStep or PrepareStack refused the plan ("" when it
  // did not): the reason behind the "Error" its caller writes.
  std::string Refusal;
  // Why the plan as it stands could not be run ("" when it could), the timings aside.
  std::string RunPlanRefusal() const;

  // The timing boxes: the control, its label in the window and the field it fills.
  struct TimingBox {
    const char* control;
    const char* label;
    double ZAcq::*field;
  };
  static std::span<const TimingBox> TimingBoxes();

  // The hardware trigger output, as far as the tool knows it.
  TriggerOutput Trigger;

  // 1: step derived; -1: plan not usable. One plane throws ArithmeticError (division by zero)
  // and leaves StepSize unchanged.
  int16_t StepFromPlanes();
  // 1: count derived; -1: plan not usable. A count beyond 32 bits throws ArithmeticError.
  int16_t PlanesFromStep();
  // 1: plan valid, ends ordered (ZTop < ZBottom), timings read from the window; -1: not.
  int16_t PrepareStack();
  // Shows the plan in the window and its summary in the status line.
  void ShowPlan();

  // 1 finished, -1 refused, cancelled or failed, 0 another run is in progress.
  int16_t AcquireStack();
  bool Running() const { return RunDepth > 0; }

  // Who is told how far a run is, and who keeps the system awake during it; nobody until set.
  // Both must outlive every run.
  void ReportProgressTo(RunProgress& progress) {
    Timed.Forward(progress);
    Progress = &Timed;
  }
  void KeepAwakeWith(StayAwake& awake) { Awake = &awake; }
  RunProgress& ProgressShown() const { return *Progress; }

  // Click handlers of "Acquire Z Stack" and "Cancel Z Stack".
  void cmdFocura_Click();
  void cmdCancelZ_Click();

  ZServer& ZServ;
  Window& Win;
  Delay32 Delay;
  Desktop& Desk;
  const NumberText& Num;

 private:
  std::string EndsRefusal() const;

  int16_t RunDepth = 0;
  NoRunProgress NoProgress;
  TimedProgress Timed{*this};
  NoStayAwake NoAwake;
  RunProgress* Progress = &NoProgress;
  StayAwake* Awake = &NoAwake;
};

}  // namespace focura
