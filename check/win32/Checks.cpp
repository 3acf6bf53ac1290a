#include "Checks.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "CaptionMeasure.h"
#include "Notepad.h"
#include "OwnZServer.h"
#include "Process.h"
#include "Screenshot.h"
#include "StandIn.h"
#include "Wait.h"
#include "WindowFinder.h"
#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "capture/FrameTrigger.h"
#include "check/core/PlaneTiming.h"
#include "ui/Controls.h"
#include "ui/OperatorCommands.h"
#include "ui/WindowRunView.h"
#include "win32/Boundary.h"
#include "win32/ComZServer.h"
#include "win32/ExecutionStateAwake.h"
#include "win32/InputBox.h"
#include "win32/MainWindow.h"
#include "win32/RegionalSettings.h"
#include "win32/TaskbarProgress.h"
#include "win32/Utf.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Desktop.h"
#include "zserver/RestartingZServer.h"

namespace focura::check {
namespace {

using win32::Narrow;
using win32::Widen;

// Lets the windows of this thread draw and take their messages for a while.
void PumpFor(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount64() < end);
}

// Everything the checks share: the simulator's registration is made once, on first need, and
// removed when the table's run ends.
struct Shared {
  CheckSetting setting;
  std::unique_ptr<OwnZServerRegistration> registration;
  std::string registrationRefused;
  // One simulator for all checks, as the tool keeps one Z server for its session: a server
  // started and ended for every check could be asked for while it is still stopping.
  std::unique_ptr<win32::ComZServer> sim;

  win32::ComZServer& Sim() {
    if (!sim)
      sim = std::make_unique<win32::ComZServer>(kCheckProgId);
    return *sim;
  }

  std::wstring PathOf(const wchar_t* file) const { return setting.folder + L"\\" + file; }
  std::string FileOf(const wchar_t* file) const { return Narrow(PathOf(file)); }

  // Empty when the simulator is reachable under the check's ProgID, else why not.
  std::string NeedSimulator() {
    if (registration)
      return "";
    if (!registrationRefused.empty())
      return registrationRefused;
    const std::wstring zsim = PathOf(L"zsim.exe");
    if (!std::filesystem::exists(zsim))
      return registrationRefused = "zsim.exe is not beside the check: unpack the whole zip";
    try {
      registration = std::make_unique<OwnZServerRegistration>(zsim);
    } catch (const std::exception& e) {
      registrationRefused = e.what();
    }
    return registrationRefused;
  }
};

CheckResult SimulatorAcrossProcesses(Shared& s) {
  if (auto why = s.NeedSimulator(); !why.empty())
    return Skipped(why);
  const ULONGLONG start = GetTickCount64();
  win32::ComZServer& z = s.Sim();
  const ULONGLONG created = GetTickCount64();
  z.Exec("Sim Reset");
  const std::string where = z.Exec("Z ?");
  const ULONGLONG answered = GetTickCount64();
  return Pass("created in " + std::to_string(created - start) + " ms, \"Z ?\" answered \"" + where +
                  "\" in " + std::to_string(answered - created) + " ms",
              "zsim.exe reached by the ProgID " + std::string(kCheckProgId));
}

CheckResult BusySimulatorRetried(Shared& s) {
  if (auto why = s.NeedSimulator(); !why.empty())
    return Skipped(why);
  constexpr int kBusyMs = 700;
  win32::ComZServer& z = s.Sim();
  z.Exec("Sim Busy " + std::to_string(kBusyMs));
  const ULONGLONG start = GetTickCount64();
  const std::string where = z.Exec("Z ?");
  const auto waited = static_cast<long long>(GetTickCount64() - start);
  const std::string figure =
      "\"Z ?\" answered \"" + where + "\" after " + std::to_string(waited) + " ms";
  // The server refuses for kBusyMs; an answer much sooner means the refusal never came.
  if (waited < kBusyMs / 2)
    return Fail(figure, "the simulator did not refuse while busy");
  return Pass(figure, "refused as busy for " + std::to_string(kBusyMs) + " ms, asked again");
}

// Windows 11 lowers the timer resolution of a process only while none of its windows can be seen:
// the cover is another program's window over the whole screen, and minimising puts away every
// window of the check, its progress window included.
class Cover {
 public:
  explicit Cover(Shared& s) : folder_(Narrow(s.setting.folder)) {
    const std::string log = s.FileOf(L"check-cover.log");
    program_ = e2e::Process::Start(
        e2e::StandInCommandLine(s.FileOf(L"capture_target.exe"), "Check cover", log), folder_);
    HWND w = e2e::WaitForTopLevel("Check cover", program_.Id(), 20000);
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
  e2e::Process program_;
};

class AllMinimised {
 public:
  AllMinimised() {
    EnumThreadWindows(GetCurrentThreadId(), PutAway, reinterpret_cast<LPARAM>(this));
  }
  ~AllMinimised() {
    for (HWND w : put_)
      ShowWindow(w, SW_RESTORE);
  }
  AllMinimised(const AllMinimised&) = delete;
  AllMinimised& operator=(const AllMinimised&) = delete;

 private:
  static BOOL CALLBACK PutAway(HWND w, LPARAM self) noexcept {
    return focura::win32::Guarded(
        [&]() -> BOOL {
          if (IsWindowVisible(w) && !IsIconic(w)) {
            reinterpret_cast<AllMinimised*>(self)->put_.push_back(w);
            ShowWindow(w, SW_SHOWMINNOACTIVE);
          }
          return TRUE;
        },
        [](const std::string&) -> BOOL { return FALSE; });  // no room to remember it: stop
  }

  std::vector<HWND> put_;
};

enum class Placement { Front, Covered, Minimised };

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

// A plan of `planes` planes, 1 um apart from 10 um on, and timing boxes with no settle or capture
// delay and the given period: a run that takes no longer than its moves and frames need.
void PlanShortRun(ZAcq& acq, win32::MainWindow& window, const NumberText& num, int32_t planes,
                  double periodS) {
  acq.LoadDefaults();
  acq.ZTop = 10;
  acq.ZBottom = 10 + planes - 1;
  acq.NumPlanes = planes;
  acq.StepFromPlanes();
  window.SetText(Control::txtDelay, num.Format2(0));
  window.SetText(Control::txtSettle, num.Format2(0));
  window.SetText(Control::txtPeriod, num.Format2(periodS));
}

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
  acq.CaptureType = kCaptureHardware;
  acq.CaptureTaskId = 1;
  acq.TriggerHoldMs = 10;

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
  const int16_t result = acq.AcquireStack();
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

CheckResult Timing(Shared& s, Placement where, std::optional<CheckResult>* taskbar = nullptr) {
  if (auto why = s.NeedSimulator(); !why.empty())
    return Skipped(why);
  if (where == Placement::Covered && !std::filesystem::exists(s.PathOf(L"capture_target.exe")))
    return Skipped("capture_target.exe, the covering program, is not beside the check");
  RunOutcome out = TimedRun(s, where);
  if (taskbar)
    *taskbar = out.taskbar;
  if (where != Placement::Front && !s.setting.wine.empty() && out.timing.status == Status::Pass)
    out.timing.reason =
        "Wine does not throttle the timers of hidden windows; only Windows shows it";
  return out.timing;
}

// The keys as the stand-in logged them, the modifiers dropped: what matters is the state each
// other key found.
std::vector<e2e::TargetEvent> KeysWithoutModifiers(const e2e::StandInLog& log) {
  std::vector<e2e::TargetEvent> keys;
  for (const auto& k : log.Keys()) {
    if (k.code != VK_CONTROL && k.code != VK_SHIFT && k.code != VK_MENU)
      keys.push_back(k);
  }
  return keys;
}

std::string KeyText(const std::vector<e2e::TargetEvent>& keys) {
  std::string got;
  for (const auto& k : keys)
    got += (got.empty() ? "" : " ") + std::string(k.ctrl ? "Ctrl+" : "") +
           (k.shift ? "Shift+" : "") + (k.alt ? "Alt+" : "") +
           static_cast<char>(k.code >= 0x30 && k.code <= 0x5A ? k.code : '?');
  return got.empty() ? "nothing" : got;
}

// The frame trigger needs no Z server for a key.
class NoZServer : public ZServer {
 public:
  std::string Exec(const std::string&) override { return ""; }
};

// The tool's own frame trigger with a custom key, and programs launched as the tool launches them.
struct FrameRig {
  NoZServer none;
  win32::Win32Clock clock;
  win32::Win32Desktop desktop;
  win32::MainWindow window;
  const NumberText num{win32::RegionalDecimalSeparator()};
  WindowRunView view{window};
  ZAcq acq{none, view, clock, desktop, num};

  explicit FrameRig(const std::string& key) {
    // In front, as the tool's window is when the operator launches the camera program.
    window.Show(SW_SHOWNORMAL);
    SetForegroundWindow(window.Handle());
    PumpFor(200);
    acq.LoadDefaults();
    acq.CaptureType = kCaptureFromFile;
    acq.CaptureKey = key;
  }
  // The frame's failure text, "" when it went out.
  std::string Frame() {
    try {
      acq.CaptureFrame();
      return "";
    } catch (const std::exception& e) {
      return e.what();
    }
  }
};

struct EndStandIns {
  std::string folder;
  ~EndStandIns() { e2e::EndProgramsUnder(folder, "capture_target.exe"); }
};

CheckResult KeysToStandIn(Shared& s) {
  const std::string standIn = s.FileOf(L"capture_target.exe");
  if (!std::filesystem::exists(standIn))
    return Skipped("capture_target.exe is not beside the check: unpack the whole zip");
  const std::string folder = Narrow(s.setting.folder);
  const std::string logTarget = s.FileOf(L"check-keys-target.log");
  const std::string logHolder = s.FileOf(L"check-keys-holder.log");
  DeleteFileW(Widen(logTarget).c_str());
  DeleteFileW(Widen(logHolder).c_str());
  EndStandIns end{folder};
  const std::string sent = "ab1^v";
  FrameRig rig(sent);
  ZAcq& acq = rig.acq;
  acq.CaptureTaskId =
      rig.desktop.StartProgram(e2e::StandInCommandLine(standIn, "Check target", logTarget));
  e2e::StandInLog target(logTarget);
  if (!target.WaitStarted(20000))
    return Fail("", "the stand-in did not start");
  const std::vector<std::pair<unsigned, bool>> want{
      {'A', false}, {'B', false}, {'1', false}, {'V', true}};
  auto exact = [&want](const std::vector<e2e::TargetEvent>& keys) {
    bool same = keys.size() == want.size();
    for (size_t i = 0; same && i < want.size(); ++i)
      same = keys[i].code == want[i].first && keys[i].ctrl == want[i].second && !keys[i].shift &&
             !keys[i].alt && keys[i].foreground;
    return same;
  };

  const std::string first = rig.Frame();
  target.WaitKeys(5, 5000);
  const auto alone = KeysWithoutModifiers(target);
  std::string figure = "alone: " + KeyText(alone);
  if (!first.empty())
    return Fail(figure, first);
  if (!exact(alone))
    return Fail(figure, "expected A B 1 Ctrl+V (\"" + sent + "\") in the stand-in, in front");

  // Another program now takes the front back whenever it loses it.
  e2e::Process holder = e2e::Process::Start(
      e2e::StandInCommandLine(standIn, "Check holder", logHolder, true), folder);
  e2e::StandInLog holderLog(logHolder);
  if (!holderLog.WaitStarted(20000))
    return Fail(figure, "the front-holding stand-in did not start");
  PumpFor(500);
  const std::string refusal = rig.Frame();
  PumpFor(1000);
  const auto withHolder = KeysWithoutModifiers(target);
  const auto stolen = KeysWithoutModifiers(holderLog);
  const std::vector<e2e::TargetEvent> second(withHolder.begin() + alone.size(), withHolder.end());
  figure += "; with a program holding the front: the stand-in took " + KeyText(second) +
            ", the other program " + KeyText(stolen) +
            (refusal.empty() ? "" : " (\"" + refusal + "\")");
  if (!stolen.empty())
    return Fail(figure, "keys reached the program that holds the front");
  if (refusal.empty() ? !exact(second) : !second.empty())
    return Fail(figure, "the stand-in must take every key sent, or none with the refusal");
  return Pass(figure, refusal.empty() ? "every key reached the stand-in, in front"
                                      : "no key went out while the stand-in was not in front");
}

// Camera programs as they come: a plain one, a launcher that starts the real program and exits,
// a single-instance program whose running copy must get the key, and one that has ended.
CheckResult StartingPrograms(Shared& s) {
  const std::string standIn = s.FileOf(L"capture_target.exe");
  if (!std::filesystem::exists(standIn))
    return Skipped("capture_target.exe is not beside the check: unpack the whole zip");
  const std::string folder = Narrow(s.setting.folder);
  EndStandIns end{folder};
  std::string figure;
  std::vector<std::string> faults;
  auto note = [&](const std::string& what, const std::string& outcome, bool good) {
    figure += (figure.empty() ? "" : "; ") + what + ": " + outcome;
    if (!good)
      faults.push_back(what);
  };
  // One program each; its key log tells what it took.
  auto run = [&](const std::string& what, const std::string& extra,
                 const std::function<void(FrameRig&, const e2e::StandInLog&)>& before = {}) {
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    FrameRig rig(" ");
    e2e::StandInLog keys(log);
    rig.acq.CaptureTaskId =
        rig.desktop.StartProgram(e2e::StandInCommandLine(standIn, "Check start", log) + extra);
    if (!keys.WaitStarted(20000))
      return note(what, "did not start", false);
    if (before)
      before(rig, keys);
    const std::string failure = rig.Frame();
    keys.WaitKeys(1, 3000);
    const auto down = keys.Keys();
    const bool ok =
        failure.empty() && down.size() == 1 && down[0].code == VK_SPACE && down[0].foreground;
    note(what,
         ok ? "key taken" : (failure.empty() ? std::to_string(down.size()) + " keys" : failure),
         ok);
    e2e::EndProgramsUnder(folder, "capture_target.exe");
  };
  run("plain", "");
  run("launcher", " --launch");
  {
    // The single-instance program runs already, put away; the second start must bring it back.
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    e2e::Process running =
        e2e::Process::Start(e2e::StandInCommandLine(standIn, "Check start", log), folder);
    e2e::StandInLog(log).WaitStarted(20000);
    if (HWND w = e2e::WaitForTopLevel("Check start", running.Id(), 20000)) {
      ShowWindow(w, SW_MINIMIZE);
      e2e::WaitUntil([w] { return GetForegroundWindow() != w; }, 5000);
    }
    FrameRig rig(" ");
    e2e::StandInLog keys(log);
    rig.acq.CaptureTaskId = rig.desktop.StartProgram(
        e2e::StandInCommandLine(standIn, "Check start", log) + " --single");
    const std::string failure = rig.Frame();
    keys.WaitKeys(1, 3000);
    const auto down = keys.Keys();
    const bool ok = failure.empty() && down.size() == 1 && down[0].foreground && running.Running();
    note("single instance",
         ok ? "its running copy took the key"
            : (failure.empty() ? std::to_string(down.size()) + " keys" : failure),
         ok);
    e2e::EndProgramsUnder(folder, "capture_target.exe");
  }
  {
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    FrameRig rig(" ");
    rig.acq.CaptureTaskId =
        rig.desktop.StartProgram(e2e::StandInCommandLine(standIn, "Check start", log));
    e2e::StandInLog(log).WaitStarted(20000);
    e2e::EndProgramsUnder(folder, "capture_target.exe");
    e2e::WaitUntil([&] { return e2e::ProgramsUnder(folder, "capture_target.exe").empty(); }, 5000);
    const std::string failure = rig.Frame();
    note("ended", failure.empty() ? "a key went out" : "\"" + failure + "\"",
         failure.find("has ended") != std::string::npos);
  }
  // Camera programs of 32-bit makers live here; the check only looks, it starts nothing there.
  wchar_t x86[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ProgramFiles(x86)", x86, MAX_PATH) > 0 &&
      std::filesystem::exists(x86))
    figure += "; Program Files (x86) found: " + Narrow(x86);
  if (!faults.empty()) {
    std::string all;
    for (const auto& f : faults)
      all += (all.empty() ? "" : ", ") + f;
    return Fail(figure, "the key did not reach: " + all);
  }
  return Pass(figure);
}

// The simulator's process ends under the client's feet: the command that finds out fails, the
// next one starts it again, as the tool's window does for hours.
CheckResult SimulatorQuitsAndRestarts(Shared& s) {
  if (!s.setting.wine.empty())
    return Skipped("Wine " + s.setting.wine +
                   "'s COM service may not start a local server again after one quit; the "
                   "release's own tests prove the restart in a session of its own");
  if (auto why = s.NeedSimulator(); !why.empty())
    return Skipped(why);
  // The session's simulator is the one whose process ends here.
  s.Sim();
  RestartingZServer z(std::move(s.sim),
                      [] { return std::make_unique<win32::ComZServer>(kCheckProgId); });
  z.Exec("Z ?");
  const std::string folder = Narrow(s.setting.folder);
  if (e2e::EndProgramsUnder(folder, "zsim.exe") == 0)
    return Fail("", "the simulator's process was not found to end");
  e2e::WaitUntil([&] { return e2e::ProgramsUnder(folder, "zsim.exe").empty(); }, 10000);
  std::string lost;
  try {
    z.Exec("Z ?");
  } catch (const std::exception& e) {
    lost = e.what();
  }
  if (lost.empty())
    return Fail("", "a command reached a simulator whose process had ended");
  const ULONGLONG start = GetTickCount64();
  const std::string where = z.Exec("Z ?");
  return Pass("lost: \"" + lost + "\"; started again and answered \"" + where + "\" in " +
              std::to_string(GetTickCount64() - start) + " ms");
}

// The log of a short run, pasted by the tool into a new window of the PC's own editor.
CheckResult LogView(Shared& s) {
  if (auto why = s.NeedSimulator(); !why.empty())
    return Skipped(why);
  win32::ComZServer& com = s.Sim();
  win32::Win32Clock clock;
  const NumberText num(win32::RegionalDecimalSeparator());
  win32::Win32Desktop desktop;
  win32::MainWindow window;
  win32::InputBox prompt(window.Handle());
  window.Show(SW_SHOWNORMAL);
  PumpFor(300);
  com.Exec("Sim Reset");
  WindowRunView runView(window);
  ZAcq acq(com, runView, clock, desktop, num);
  PlanShortRun(acq, window, num, 3, 0);
  if (acq.AcquireStack() != 1)
    return Fail("", "the run ended with \"" + window.GetText(kStatusLine) + "\"");
  const std::set<HWND> before = e2e::NotepadWindows();
  OperatorCommands commands(acq, window, com, desktop, prompt);
  commands.mnuZLog_Click();
  const e2e::NotepadView view = e2e::WaitForNewNotepad(before, 20000);
  struct EndEditor {
    const e2e::NotepadView& view;
    ~EndEditor() { e2e::EndNotepad(view); }
  } end{view};
  const std::string status = window.GetText(kStatusLine);
  if (view.window == nullptr)
    return Fail("", "no editor window appeared" + (status.empty() ? "" : ": \"" + status + "\""));
  CheckResult r;
  const std::string figure = std::to_string(acq.ZLog.size()) + " characters logged, " +
                             std::to_string(view.text.size()) + " in the editor";
  if (view.text == acq.ZLog)
    r = Pass(figure, "the pasted text equals the log");
  else if (view.text.empty())
    r = Fail(figure, "the editor's text could not be read, or nothing was pasted" +
                         (status.empty() ? "" : ": \"" + status + "\""));
  else
    r = Fail(figure, "the pasted text differs from the log");
  try {
    SaveWindowPicture(view.window, s.PathOf(L"check-log-view.bmp"));
    r.screenshot = "check-log-view.bmp";
  } catch (const std::exception& e) {
    r.reason += std::string("; no picture: ") + e.what();
  }
  return r;
}

CheckResult CaptionsAtThisDpi(Shared& s) {
  win32::MainWindow w;
  w.Show(SW_SHOWNORMAL);
  SetForegroundWindow(w.Handle());
  PumpFor(500);
  const int dpi = w.Dpi();
  std::vector<std::string> problems;
  std::vector<std::pair<const ControlSpec*, RECT>> rects;
  std::wstring face;
  for (const ControlSpec& c : MainControls()) {
    HWND h = w.ControlWindow(c.control);
    if (h == nullptr) {
      problems.push_back(std::string(c.name) + " missing");
      continue;
    }
    rects.emplace_back(&c, win32::RectInParent(h));
    if (c.caption.empty() || c.kind == ControlKind::TextBox)
      continue;
    const win32::Measured m = win32::Measure(h, c, dpi);
    face = m.face;
    const bool fits = m.need.right - m.need.left <= m.room.right - m.room.left &&
                      m.need.bottom - m.need.top <= m.room.bottom - m.room.top;
    // A caption that cannot fit is shown whole in the control's tooltip.
    if (!fits && w.TipText(c.control).empty())
      problems.push_back(std::string(c.name) + " does not show its whole caption");
  }
  for (size_t i = 0; i < rects.size(); ++i) {
    for (size_t j = i + 1; j < rects.size(); ++j) {
      RECT common{};
      if (IntersectRect(&common, &rects[i].second, &rects[j].second))
        problems.push_back(std::string(rects[i].first->name) + " overlaps " +
                           std::string(rects[j].first->name));
    }
  }
  CheckResult r;
  const std::string figure = std::to_string(rects.size()) + " controls at " + std::to_string(dpi) +
                             " dpi in " + Narrow(face);
  if (problems.empty()) {
    r = Pass(figure, "every caption fits its control or is whole in its tooltip; no overlaps");
  } else {
    std::string all;
    for (const auto& p : problems)
      all += (all.empty() ? "" : "; ") + p;
    r = Fail(figure, all);
  }
  try {
    SaveWindowPicture(w.Handle(), s.PathOf(L"check-window.bmp"));
    r.screenshot = "check-window.bmp";
  } catch (const std::exception& e) {
    r.reason += std::string(r.reason.empty() ? "" : "; ") + "no picture: " + e.what();
  }
  return r;
}

CheckResult StayAwake(Shared& s) {
  if (!s.setting.wine.empty())
    return Skipped("Wine " + s.setting.wine + " keeps no execution state of a thread");
  win32::ExecutionStateAwake awake;
  // Setting the state a run holds once more answers the state that was held, and changes nothing.
  awake.Hold(true);
  const EXECUTION_STATE during =
      SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
  awake.Release();  // the port's own end of the hold, not a handle's
  const EXECUTION_STATE after = SetThreadExecutionState(ES_CONTINUOUS);
  char figure[96];
  wsprintfA(figure, "during a run 0x%08lX, after it 0x%08lX", during, after);
  if ((during & (ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)) !=
      (ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED))
    return Fail(figure, "the system and display were not kept awake during the run");
  if ((after & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED)) != 0)
    return Fail(figure, "the request to stay awake outlived the run");
  return Pass(figure);
}

CheckResult RealZServer(Shared& s) {
  const RegisteredServer real = DescribeRegistration(kZServerProgId);
  const std::string figure = Describe(real);
  if (!real.registered)
    return Skipped("the Z server \"" + std::string(kZServerProgId) +
                   "\" is not registered on this PC (" + figure + ")");
  if (s.setting.unattended)
    return {Status::Skipped,
            figure,
            "unattended run: nobody to confirm that the Z server may be started",
            {}};
  if (!s.setting.confirm("The Z server \"" + std::string(kZServerProgId) + "\" is registered:\n" +
                         figure +
                         "\n\nMay the check start it? It is created and released at once; no "
                         "command is sent, the axis does not move."))
    return {Status::Skipped, figure, "the operator did not allow the Z server to be started", {}};
  try {
    const ULONGLONG start = GetTickCount64();
    { win32::ComZServer z(kZServerProgId); }
    return Pass(figure + "; created and released in " + std::to_string(GetTickCount64() - start) +
                " ms");
  } catch (const std::exception& e) {
    return Fail(figure, e.what());
  }
}

}  // namespace

std::vector<Check> CheckTable(const CheckSetting& setting) {
  auto s = std::make_shared<Shared>();
  s->setting = setting;
  auto taskbar = std::make_shared<std::optional<CheckResult>>();
  std::vector<Check> table{
      {"COM by ProgID across processes to the simulator",
       [s] { return SimulatorAcrossProcesses(*s); }},
      {"A busy simulator asked again (\"Sim Busy\")", [s] { return BusySimulatorRetried(*s); }},
      {"1 ms counter: 20 planes, window in front",
       [s, taskbar] { return Timing(*s, Placement::Front, taskbar.get()); }},
      {"1 ms counter: 20 planes, window covered", [s] { return Timing(*s, Placement::Covered); }},
      {"1 ms counter: 20 planes, window minimised",
       [s] { return Timing(*s, Placement::Minimised); }},
      {"Taskbar: the button shows the run's progress",
       [s, taskbar] {
         if (taskbar->has_value())
           return **taskbar;
         return Skipped("the run in front did not take place");
       }},
      {"Keys to the stand-in while another program holds the front",
       [s] { return KeysToStandIn(*s); }},
      {"The window's captions at this PC's DPI", [s] { return CaptionsAtThisDpi(*s); }},
      {"Stay awake during a run and after it", [s] { return StayAwake(*s); }},
      {"The log view in the PC's own editor", [s] { return LogView(*s); }},
      {"Starting programs: plain, launcher, single instance, ended",
       [s] { return StartingPrograms(*s); }},
      // After every other check that needs the simulator: it ends the simulator's process.
      {"A simulator that quits, and the restart", [s] { return SimulatorQuitsAndRestarts(*s); }},
      {"The real Z server: kind and creation", [s] { return RealZServer(*s); }},
      // Last: the simulator's registration goes before the report is written.
      {"The check's own registration removed",
       [s] {
         const bool had = s->registration != nullptr;
         s->sim.reset();
         s->registration.reset();
         if (!had)
           return Skipped("nothing was registered");
         const RegisteredServer own = DescribeRegistration(kCheckProgId);
         if (own.registered)
           return Fail(Describe(own), "the check's ProgID is still registered");
         return Pass("", std::string(kCheckProgId) + " removed");
       }},
  };
  return table;
}

}  // namespace focura::check
