// Timing: the plane intervals of short runs in the tool's own window, in front, covered and
// minimised; the taskbar's progress.

#include <filesystem>
#include <functional>

#include "CheckShared.h"
#include "Screenshot.h"
#include "acq/StackPlan.h"
#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "check/core/PlaneTiming.h"
#include "desktop/Process.h"
#include "desktop/StandIn.h"
#include "desktop/WindowFinder.h"
#include "ui/Controls.h"
#include "ui/PlanView.h"
#include "ui/WindowRunView.h"
#include "win32/Boundary.h"
#include "win32/MainWindow.h"
#include "win32/RegionalSettings.h"
#include "win32/TaskbarProgress.h"
#include "win32/Utf.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Desktop.h"

namespace focura::check {
namespace {

using win32::Narrow;
using win32::Widen;

// Windows 11 lowers the timer resolution of a process only while none of its windows can be seen:
// the cover is another program's window over the whole screen, and minimising puts away every
// window of the check, its progress window included.
class Cover {
 public:
  explicit Cover(Shared& s) : folder_(Narrow(s.setting.folder)) {
    const std::string log = s.FileOf(L"check-cover.log");
    program_ = desktop::Process::Start(
        desktop::StandInCommandLine(s.FileOf(L"capture_target.exe"), "Check cover", log), folder_);
    HWND w = desktop::WaitForTopLevel("Check cover", program_.Id(), 20000);
    if (w == nullptr)
      throw std::runtime_error("the covering stand-in showed no window");
    ShowWindow(w, SW_MAXIMIZE);
    SetWindowPos(w, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  ~Cover() { program_.Terminate(); }
  Cover(const Cover&) = delete;
  Cover& operator=(const Cover&) = delete;

 private:
  std::string folder_;
  desktop::Process program_;
};

class AllMinimised {
 public:
  // Every window of the process: the check's progress window belongs to another thread.
  AllMinimised() { EnumWindows(PutAway, reinterpret_cast<LPARAM>(this)); }
  ~AllMinimised() {
    for (HWND w : put_)
      ShowWindowAsync(w, SW_RESTORE);
  }
  AllMinimised(const AllMinimised&) = delete;
  AllMinimised& operator=(const AllMinimised&) = delete;

 private:
  static BOOL CALLBACK PutAway(HWND w, LPARAM self) noexcept {
    return focura::win32::Guarded(
        [&]() -> BOOL {
          DWORD pid = 0;
          GetWindowThreadProcessId(w, &pid);
          if (pid == GetCurrentProcessId() && IsWindowVisible(w) && !IsIconic(w)) {
            reinterpret_cast<AllMinimised*>(self)->put_.push_back(w);
            ShowWindowAsync(w, SW_SHOWMINNOACTIVE);
          }
          return TRUE;
        },
        [](const std::string&) -> BOOL { return FALSE; });  // no room to remember it: stop
  }

  std::vector<HWND> put_;
};

// The progress shown on the taskbar button, with a picture of the taskbar half-way.
class WatchedProgress : public RunProgress {
 public:
  WatchedProgress(RunProgress& inner, std::function<void()> halfWay)
      : inner_(inner), halfWay_(std::move(halfWay)) {}
  void Started(int32_t planes) override { inner_.Started(planes); }
  void AtPlane(int32_t plane, int32_t planes) override {
    inner_.AtPlane(plane, planes);
    if (plane == planes / 2 && halfWay_)
      halfWay_();
  }
  void Finished() override { inner_.Finished(); }
  void Cancelled() override { inner_.Cancelled(); }
  void Failed() override { inner_.Failed(); }
  void TimeLeft(const std::string& text) override { inner_.TimeLeft(text); }
  void KeysAwaited(bool awaited) override { inner_.KeysAwaited(awaited); }

 private:
  RunProgress& inner_;
  std::function<void()> halfWay_;
};

constexpr int32_t kPlanes = 20;
constexpr int32_t kPeriodMs = 100;

struct RunOutcome {
  CheckResult timing;
  std::optional<CheckResult> taskbar;
};

// A run of the tool's own acquisition, in the tool's own window, with the hardware trigger so that
// no program is needed, against the simulator over COM.
RunOutcome TimedRun(Shared& s, Placement where) {
  RunOutcome out;
  win32::ComZServer& com = s.Sim();
  win32::Win32Clock clock;
  PlaneTimes timed(com, clock);
  const NumberText num(win32::RegionalDecimalSeparator());
  win32::Win32Desktop desktop;
  win32::MainWindow window;
  win32::TaskbarProgress taskbar(window.Handle());
  window.Show(SW_SHOWNORMAL);
  PumpFor(300);
  std::optional<Cover> cover;
  std::optional<AllMinimised> minimised;
  if (where == Placement::Covered)
    cover.emplace(s);
  else if (where == Placement::Minimised)
    minimised.emplace();
  PumpFor(300);

  com.Exec("Sim Reset");
  WindowRunView view(window);
  ZAcq acq(timed, view, clock, desktop, num);
  PlanShortRun(acq, window, num, kPlanes, kPeriodMs / 1000.0);
  acq.Settings.Frame.CaptureType = kCaptureHardware;
  acq.Settings.Frame.CaptureTaskId = 1;
  acq.Settings.Frame.TriggerHoldMs = 10;

  std::string taskbarPicture;
  std::string taskbarFailure;
  WatchedProgress progress(taskbar, [&] {
    if (where != Placement::Front || !s.setting.wine.empty())
      return;
    HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT r{};
    if (tray == nullptr || !GetWindowRect(tray, &r)) {
      taskbarFailure = "no taskbar found";
      return;
    }
    try {
      SaveScreenRect(r, s.PathOf(L"check-taskbar.bmp"));
      taskbarPicture = "check-taskbar.bmp";
    } catch (const std::exception& e) {
      taskbarFailure = e.what();
    }
  });
  acq.ReportProgressTo(progress);
  s.Await("a run of " + std::to_string(kPlanes) + " planes against the simulator");
  const int16_t result = AcquireStack(acq, window);
  const std::string status = window.GetText(kStatusLine);
  if (result != 1)
    out.timing = Fail("", "the run ended with \"" + status + "\"");
  else
    out.timing = JudgeTiming(ExcessOverPeriod(timed.Starts(), kPeriodMs), kPeriodMs, kPlanes);

  if (where == Placement::Front) {
    if (!s.setting.wine.empty()) {
      out.taskbar =
          Skipped("Wine " + s.setting.wine +
                  " has no taskbar that announces its buttons (\"TaskbarButtonCreated\")");
    } else if (!taskbar.HasTaskbarObject()) {
      out.taskbar = Fail("", "the shell never announced the window's taskbar button");
    } else if (!taskbarFailure.empty()) {
      out.taskbar = Fail("", "progress set, but " + taskbarFailure);
    } else {
      out.taskbar = Pass("progress of " + std::to_string(kPlanes) + " planes shown",
                         "look at the picture: the button's bar is half full");
      out.taskbar->screenshot = taskbarPicture;
    }
  }
  return out;
}

}  // namespace

void PlanShortRun(ZAcq& acq, win32::MainWindow& window, const NumberText& num, int32_t planes,
                  double periodS) {
  acq.LoadDefaults();
  acq.Settings.ZTop = 10;
  acq.Settings.ZBottom = 10 + planes - 1;
  acq.Settings.NumPlanes = planes;
  if (const Planned<double> step = StepFromPlanes(acq.Settings, num); step.Ok())
    acq.Settings.StepSize = step.Value();
  window.SetText(Control::txtDelay, num.Format2(0));
  window.SetText(Control::txtSettle, num.Format2(0));
  window.SetText(Control::txtPeriod, num.Format2(periodS));
}

CheckResult Timing(Shared& s, Placement where, std::optional<CheckResult>* taskbar) {
  if (auto row = s.NeedSimulator())
    return *row;
  if (where == Placement::Covered) {
    if (auto row = s.NeedStandIn())
      return *row;
  }
  RunOutcome out = TimedRun(s, where);
  if (taskbar)
    *taskbar = out.taskbar;
  if (where != Placement::Front && !s.setting.wine.empty() && out.timing.status == Status::Pass)
    out.timing.reason =
        "Wine does not throttle the timers of hidden windows; only Windows shows it";
  return out.timing;
}

}  // namespace focura::check
