#include "ui/FormController.h"

#include <utility>

#include "acq/ScopedCount.h"
#include "capture/CaptureMethods.h"
#include "capture/TriggerPulse.h"
#include "text/Errors.h"
#include "ui/CaptureControls.h"
#include "ui/DispatchBoundary.h"
#include "ui/Guards.h"
#include "ui/OperatorCommands.h"
#include "ui/PlanView.h"
#include "ui/RunCommands.h"
#include "ui/RunPlanTip.h"
#include "ui/SessionEnd.h"
#include "ui/WindowRunView.h"
#include "zserver/Commands.h"
#include "zserver/RestartingZServer.h"

namespace focura {

namespace {

const std::string kRestartedNote =
    "he Z server was started again: its positions may count from a new zero, so check Top and "
    "Bottom before the next run";

}  // namespace

struct FormController::Impl {
  Impl(Window& window, Prompt& prompt, Clock& clock, Desktop& desktop, Files& files,
       const NumberText& num, FormPorts ports)
      : realWindow(window),
        window(window, closed),
        zserver(server, closed),
        view(this->window),
        acq(zserver, view, clock, desktop, num),
        capture(acq, this->window, zserver, desktop, files),
        commands(acq, this->window, zserver, desktop, prompt),
        run(acq, this->window) {
    if (ports.progress != nullptr)
      acq.ReportProgressTo(*ports.progress);
    if (ports.awake != nullptr)
      acq.KeepAwakeWith(*ports.awake);
    acq.Run.SimulatorSpeed = std::move(ports.simulatorSpeed);
    acq.Run.StandInNote = std::move(ports.standInNote);
  }

  // The handler of `command`; a value outside the enum has none.
  void Run(Command command);
  // What the status line must not leave out once a click is handled: a Z server started again
  // during it, and a trigger output that may still be on.
  void SayAfterwards(bool restarted);
  // The window's load: defaults, the Z server and its start-up commands, the buttons, the timings.
  void LoadSteps(const ZServerFactory& create, const ZServerFactory& startAgain);
  // Releases the Z server once the window is closed and no handler can still reach it.
  void ReleaseIfDone() {
    if (closed && depth == 0)
      server.reset();
  }

  Window& realWindow;
  bool closed = false;
  int depth = 0;  // handlers in progress, nested ones included
  std::unique_ptr<ZServer> server;
  RestartingZServer* restarting = nullptr;  // the server above, when it is started again
  GuardedWindow window;
  GuardedZServer zserver;
  WindowRunView view;
  ZAcq acq;
  CaptureControls capture;
  OperatorCommands commands;
  RunCommands run;
};

void FormController::Impl::LoadSteps(const ZServerFactory& create,
                                     const ZServerFactory& startAgain) {
  acq.LoadDefaults();
  server = create();
  if (startAgain) {
    auto again = std::make_unique<RestartingZServer>(std::move(server), startAgain);
    // The output of a pulse that may not have ended goes off before the new server hears
    // anything else.
    again->OnRestart([this](ZServer& fresh) {
      if (acq.Run.Trigger.mayBeOn)
        TrySwitchTriggerOff(fresh, acq.Run.Trigger, acq.Run.Delay);
    });
    restarting = again.get();
    server = std::move(again);
  }
  // A server that refuses its start-up still leaves the operator a window to work from, with the
  // reason in view; the remaining start-up commands are not sent to a server in that state.
  const auto failure = RunInBoundary([this] {
    for (const auto& command : {zcmd::kShow, zcmd::kJoyOn, zcmd::kHide})
      zserver.Exec(command);
  });
  if (failure)
    window.SetText(kStatusLine, *failure);
  else if (!acq.Run.StandInNote.empty())
    window.SetText(kStatusLine, acq.Run.StandInNote);
  for (const Control button : {Control::cmdLaunchCapture, Control::cmdCapture, Control::cmdFocura})
    window.SetEnabled(button, false);
  for (const TimingBox& box : TimingBoxes())
    window.SetText(box.control, acq.Num.Format1(acq.Settings.*box.field));
}

void FormController::Impl::SayAfterwards(bool restarted) {
  std::string status = realWindow.GetText(kStatusLine);
  const std::string before = status;
  if (restarted) {
    // Its position count may have been reset with it: the ends stay, and the operator decides.
    status += (status.empty() ? "T" : "; t") + kRestartedNote;
  }
  if (acq.Run.Trigger.mayBeOn && status.find(kMayStillBeOn) == std::string::npos)
    status += kMayStillBeOn;
  if (status != before)
    realWindow.SetText(kStatusLine, status);
}

void FormController::Impl::Run(Command command) {
  auto& ops = commands;
  switch (command) {
    case Command::cmdGetTopBot:
      return ops.cmdGetTopBot_Click();
    case Command::cmdSetTop:
      return ops.cmdSetTop_Click();
    case Command::cmdSetBot:
      return ops.cmdSetBot_Click();
    case Command::cmdSetNum:
      return ops.cmdSetNum_Click();
    case Command::cmdSetStepSize:
      return ops.cmdSetStepSize_Click();
    case Command::cmdExecute:
      return ops.cmdExecute_Click();
    case Command::mnuShowZServ:
      return ops.mnuShowZServ_Click();
    case Command::mnuHideZServ:
      return ops.mnuHideZServ_Click();
    case Command::mnuZLog:
      return ops.mnuZLog_Click();
    case Command::mnuDelayKey:
      return ops.mnuDelayKey_Click();
    case Command::mnuTriggerHold:
      return ops.mnuTriggerHold_Click();
    case Command::mnuFujiCapKey:
      return ops.mnuFujiCapKey_Click();
    case Command::cmdFocura:
      return run.cmdFocura_Click();
    case Command::cmdCancelZ:
      return run.cmdCancelZ_Click();
    case Command::cmdCapture:
      return run.cmdCapture_Click();
    case Command::cmdLaunchCapture:
      return capture.cmdLaunchCapture_Click();
    case Command::mnuCapture:
      return capture.mnuCapture_Click();
    case Command::mnuEOSUtil:
    case Command::mnuCanonRemote:
    case Command::mnuBreeze:
    case Command::mnuFujiSU:
    case Command::mnuPath:
    case Command::mnuHWT:
      capture.MethodItem_Click(command);
      return;
  }
}

FormController::FormController(Window& window, Prompt& prompt, Clock& clock, Desktop& desktop,
                               Files& files, const NumberText& num, FormPorts ports)
    : impl_(std::make_unique<Impl>(window, prompt, clock, desktop, files, num, std::move(ports))) {}

FormController::~FormController() = default;

void FormController::Load(const ZServerFactory& create, const ZServerFactory& startAgain) {
  Impl& s = *impl_;
  {
    ScopedCount loading(s.depth);
    try {
      s.LoadSteps(create, startAgain);
    } catch (const WindowClosed&) {
      // Closed while the Z server was starting: nothing more to set up.
    }
  }
  s.ReleaseIfDone();
}

void FormController::Dispatch(Command command) {
  Impl& s = *impl_;
  if (s.closed || !CommandOf(ControlOf(command)))
    return;

  const int restartsBefore = s.restarting != nullptr ? s.restarting->Restarts() : 0;
  std::optional<std::string> failure;
  {
    ScopedCount handling(s.depth);
    failure = RunInBoundary([&] { s.Run(command); });
  }
  if (failure && !s.closed) {
    // The window stays in use; only a window that fails even this write loses the message.
    RunInBoundary([&] { s.realWindow.SetText(kStatusLine, *failure); });
  }
  if (s.depth == 0 && !s.closed) {
    const bool restarted = s.restarting != nullptr && s.restarting->Restarts() != restartsBefore;
    RunInBoundary([&] { s.SayAfterwards(restarted); });
  }
  s.ReleaseIfDone();
}

void FormController::Close() {
  Impl& s = *impl_;
  if (s.closed)
    return;
  s.closed = true;
  if (s.server) {
    // A trigger pulse that was not ended must not outlive the tool: it goes off before the
    // farewell, whatever handler the close interrupted.
    if (s.acq.Run.Trigger.mayBeOn)
      RunInBoundary([&] { TrySwitchTriggerOff(*s.server, s.acq.Run.Trigger, s.acq.Run.Delay); });
    // The window goes whatever the Z server answers; there is nobody left to tell.
    RunInBoundary([&] { s.server->Exec(zcmd::kUnload); });
  }
  s.ReleaseIfDone();
}

bool FormController::Closed() const {
  return impl_->closed;
}

bool FormController::Busy() const {
  return impl_->depth > 0;
}

std::string FormController::RunInProgress() const {
  const ZAcq& acq = impl_->acq;
  if (impl_->closed || !acq.Run.Running())
    return "";
  return RunningHoldReason(acq.Run.RunPlane(), acq.Run.RunPlanes());
}

ZAcq& FormController::Acq() {
  return impl_->acq;
}

std::string FormController::Tip(Control control) {
  if (impl_->closed || control != kRunButton)
    return "";
  try {
    return RunPlanTip(impl_->acq, impl_->window);
  } catch (...) {
    return "";  // a tooltip is never worth a failure
  }
}

}  // namespace focura
