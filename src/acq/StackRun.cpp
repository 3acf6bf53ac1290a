#include <algorithm>
#include <cmath>
#include <string>

#include "acq/StackRun.h"

#include "acq/ScopedCount.h"
#include "acq/StackPlan.h"
#include "capture/CaptureMethods.h"
#include "text/Errors.h"
#include "zserver/Commands.h"

namespace focura {

namespace {

const std::string kLineEnd = "\r\n";

// The system stays awake from the start of a run to every one of its exits, a closed window
// included: nothing else would ever end the request.
class AwakeGuard {
 public:
  AwakeGuard(StayAwake& awake, bool displayToo) : awake_(awake) { awake_.Hold(displayToo); }
  ~AwakeGuard() { awake_.Release(); }
  AwakeGuard(const AwakeGuard&) = delete;
  AwakeGuard& operator=(const AwakeGuard&) = delete;

 private:
  StayAwake& awake_;
};

// Binds the Z server to the run for as long as the run lasts, however it ends.
class RunBinding {
 public:
  explicit RunBinding(ZServer& server) : server_(server) { server_.BindRun(); }
  ~RunBinding() { server_.UnbindRun(); }
  RunBinding(const RunBinding&) = delete;
  RunBinding& operator=(const RunBinding&) = delete;

 private:
  ZServer& server_;
};

// What a run fixes before it sends anything: every conversion that could fail mid-stack is made
// here, so a plan beyond the counters' ranges is refused with the axis untouched.
struct RunFigures {
  double start = 0;
  int16_t planes = 0;
  int32_t settleMs = 0;
  int32_t captureMs = 0;
  bool usePeriod = false;
  int32_t periodMs = 0;
};

// Seconds to whole milliseconds, truncated; an empty text when the value fits, else the refusal.
std::string ToMs(double seconds, const std::string& what, int32_t& ms) {
  try {
    ms = TruncToInt32(seconds * 1000.0);
    return "";
  } catch (const ArithmeticError&) {
    if (seconds > 0)
      return what + " too long (at most 2147483 s)";
    return what + " out of range (at least -2147483 s)";
  }
}

// Keeps the mean time of a plane's move for the next run's estimate, however this run ends.
class MoveTimer {
 public:
  explicit MoveTimer(double& meanMs) : meanMs_(meanMs) {}
  ~MoveTimer() {
    if (count_ > 0)
      meanMs_ = totalMs_ / count_;
  }
  MoveTimer(const MoveTimer&) = delete;
  MoveTimer& operator=(const MoveTimer&) = delete;
  void Add(uint32_t ms) {
    totalMs_ += ms;
    ++count_;
  }

 private:
  double& meanMs_;
  double totalMs_ = 0;
  int count_ = 0;
};

const std::string kRunWhat = "Acquire Z Stack: ";

}  // namespace

StackRun::StackRun(ZServer& zserv, RunView& view, Clock& clock, Desktop& desktop,
                   const NumberText& num)
    : Delay(clock), Num(num), ZServ(zserv), View(view), Desk(desktop) {}

void StackRun::CaptureFrame(const FrameSettings& frame) {
  focura::CaptureFrame(frame, FramePortsNow());
}

int16_t StackRun::Acquire(const AcqSettings& s) {
  if (RunDepth > 0)
    return 0;
  // Every exit of a run must let later runs start.
  ScopedCount depth(RunDepth);

  View.Pump();

  // Handlers that ran at the pump may have changed the plan, and the run takes it as it stands.
  // Only a plan that would send the axis somewhere undefined is refused: an end not set, or a
  // step not set or not above 0 (which would walk the stack upwards or nowhere).
  if (s.ZTop == NotSetD || s.ZBottom == NotSetD || s.StepSize == NotSetD || !(s.StepSize > 0)) {
    Report.Status("Error");
    Report.StatusTip(kRunWhat + "the plan changed as the run started: " + RunPlanRefusal(s, Num));
    return -1;
  }
  RunFigures fig;
  std::string refusal;
  if (s.NumPlanes > 32767) {
    refusal = "Too many planes (at most 32767)";
  } else {
    // A count that a handler made 0 or less takes no plane: the run ends after the start move.
    fig.planes = static_cast<int16_t>(std::max(s.NumPlanes, 0));
    fig.start = s.ZBottom + s.StepSize;
    if (!std::isfinite(fig.start))
      refusal = "Start position out of range";
  }
  if (refusal.empty())
    refusal = ToMs(s.SettleDelay, "Settle delay", fig.settleMs);
  if (refusal.empty())
    refusal = ToMs(s.CaptureDelay, "Capture delay", fig.captureMs);
  if (refusal.empty() && s.Period > 0) {
    fig.usePeriod = true;
    refusal = ToMs(s.Period, "Period", fig.periodMs);
  }
  if (!refusal.empty()) {
    Report.Status(refusal);
    return -1;
  }

  // A refused run leaves the cancel request as it found it; one that goes on clears it here.
  CancelZ = 0;
  ZLog = "Planes " + Num.Format0(s.NumPlanes) + ", Step = " + Num.Format2(-s.StepSize) + " ;" +
         kLineEnd;

  // Keys and window activations reach only a lit, unlocked desktop; a trigger pulse needs neither.
  const bool framesUseDesktop =
      s.Frame.CaptureTaskId != 0 && s.Frame.CaptureType != kCaptureHardware;
  AwakeGuard awake(*Awake, framesUseDesktop);
  // The run belongs to the server that gets its start move; it never goes on with another.
  RunBinding binding(ZServ);
  Trigger.ResetLongPulses();
  Timed.For(s);
  Report.Started(fig.planes);
  Planes = fig.planes;
  Plane = 0;

  MoveTimer moves(MeasuredMoveMs);
  int32_t plane = 0;  // 0 while the axis goes to the start position
  try {
    ZServ.Exec(zcmd::MoveTo(fig.start, Num));
    Report.Status("Z= " + Num.Format2(fig.start));
    const std::string stepCommand = zcmd::MoveBy(-s.StepSize, Num);

    for (plane = 1; plane <= fig.planes; ++plane) {
      Plane = plane;
      const uint32_t planeStart = Delay.Now();
      ZServ.Exec(stepCommand);
      const std::string reply = ZServ.Exec(zcmd::kWhere);
      moves.Add(Delay32::Elapsed(planeStart, Delay.Now()));
      const std::string line = "#" + Num.Format0(plane) + ", Z=" + reply;
      Report.AtPlane(plane, fig.planes, line);
      ZLog += line + kLineEnd;
      Delay.WaitMs(fig.settleMs);
      View.Pump();
      CaptureFrame(s.Frame);
      if (CancelZ == 1) {
        Report.Ended(RunEnd::Cancelled,
                     "Z-stack cancelled" + LongPulsesText(Trigger, s.Frame.TriggerHoldMs));
        return -1;
      }
      Delay.WaitMs(fig.captureMs);
      if (fig.usePeriod) {
        const uint32_t elapsed = Delay32::Elapsed(planeStart, Delay.Now());
        if (elapsed > static_cast<uint32_t>(fig.periodMs)) {
          Report.Status("Given period is too short");
          View.Pump();
        } else {
          Delay.WaitMs(fig.periodMs - static_cast<int32_t>(elapsed));
        }
      }
    }
  } catch (const FocuraError& e) {
    const std::string where = plane == 0 ? "Z-stack stopped at the start move: "
                                         : "Z-stack stopped at plane " + Num.Format0(plane) + ": ";
    Report.Ended(RunEnd::Failed, where + e.what() + LongPulsesText(Trigger, s.Frame.TriggerHoldMs));
    return -1;
  } catch (const WindowClosed&) {
    throw;  // a closed window is told nothing more, not even that the run ended
  } catch (...) {
    // The dispatch boundary reports what else stopped the run; the progress must not go on
    // showing a run that has ended.
    Report.Ended(RunEnd::Failed, "");
    throw;
  }

  Report.Ended(RunEnd::Finished,
               "Z-stack finished" + LongPulsesText(Trigger, s.Frame.TriggerHoldMs));
  return 1;
}

}  // namespace focura
