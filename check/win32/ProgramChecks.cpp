// Programs and keys: keys to the stand-in while another program holds the front, camera programs
// of several kinds, one busy over its key and one with a modal dialog, staying awake during a run
// with keys, and the log view in the PC's own editor.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "CheckShared.h"
#include "Screenshot.h"
#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "check/core/RowVerdicts.h"
#include "desktop/Notepad.h"
#include "desktop/Process.h"
#include "desktop/StandIn.h"
#include "desktop/Wait.h"
#include "desktop/WindowFinder.h"
#include "ui/Controls.h"
#include "ui/OperatorCommands.h"
#include "ui/PlanView.h"
#include "ui/WindowRunView.h"
#include "win32/ExecutionStateAwake.h"
#include "win32/InputBox.h"
#include "win32/MainWindow.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Desktop.h"

namespace focura::check {
namespace {

using win32::Narrow;
using win32::Widen;

// The keys as the stand-in logged them, the modifiers dropped: what matters is the state each
// other key found.
std::vector<desktop::TargetEvent> KeysWithoutModifiers(const desktop::StandInLog& log) {
  std::vector<desktop::TargetEvent> keys;
  for (const auto& k : log.Keys()) {
    if (k.code != VK_CONTROL && k.code != VK_SHIFT && k.code != VK_MENU)
      keys.push_back(k);
  }
  return keys;
}

std::string KeyText(const std::vector<desktop::TargetEvent>& keys) {
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
    acq.Settings.Frame.CaptureType = kCaptureFromFile;
    acq.Settings.Frame.CaptureKey = key;
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
  ~EndStandIns() { desktop::EndProgramsUnder(folder, "capture_target.exe"); }
};

// Starts the stand-in as the tool starts a camera program, its log emptied first; false when it
// did not start.
bool LaunchStandIn(Shared& s, FrameRig& rig, const std::string& title, const std::string& log,
                   const std::string& extra) {
  DeleteFileW(Widen(log).c_str());
  rig.acq.Settings.Frame.CaptureTaskId = rig.desktop.StartProgram(
      desktop::StandInCommandLine(s.FileOf(L"capture_target.exe"), title, log) + extra);
  s.Await("the stand-in \"" + title + "\" to start");
  return desktop::StandInLog(log).WaitStarted(20000);
}

// The frame's failure text ("" when it went out) and how long it took.
std::string TimedFrame(FrameRig& rig, uint32_t& ms) {
  const ULONGLONG start = GetTickCount64();
  std::string failure = rig.Frame();
  ms = static_cast<uint32_t>(GetTickCount64() - start);
  return failure;
}

// The tool's stay-awake adapter as a run holds it, with what the system accepted of the power
// request noted while the run held it.
class WatchedAwake final : public focura::StayAwake {
 public:
  void Hold(bool displayToo) override {
    adapter.Hold(displayToo);
    seen.asked = true;
    seen.askedDisplay = displayToo;
    seen.heldSystem = adapter.HoldsSystem();
    seen.heldDisplay = adapter.HoldsDisplay();
  }
  void Release() override {
    adapter.Release();
    seen.released = true;
  }

  win32::ExecutionStateAwake adapter;
  AwakeSeen seen;
};

// Longer than the system waits before it calls a program "not responding" (5 s), well under the
// bound of the key wait.
constexpr uint32_t kBusyMs = 7000;
// Long enough for the second frame to come while it is open.
constexpr uint32_t kDialogMs = 3500;

}  // namespace

CheckResult KeysToStandIn(Shared& s) {
  if (auto row = s.NeedStandIn())
    return *row;
  const std::string standIn = s.FileOf(L"capture_target.exe");
  const std::string folder = Narrow(s.setting.folder);
  const std::string logTarget = s.FileOf(L"check-keys-target.log");
  const std::string logHolder = s.FileOf(L"check-keys-holder.log");
  DeleteFileW(Widen(logTarget).c_str());
  DeleteFileW(Widen(logHolder).c_str());
  EndStandIns end{folder};
  const std::string sent = "ab1^v";
  FrameRig rig(sent);
  ZAcq& acq = rig.acq;
  acq.Settings.Frame.CaptureTaskId =
      rig.desktop.StartProgram(desktop::StandInCommandLine(standIn, "Check target", logTarget));
  desktop::StandInLog target(logTarget);
  if (!target.WaitStarted(20000))
    return Fail("", "the stand-in did not start");
  const std::vector<std::pair<unsigned, bool>> want{
      {'A', false}, {'B', false}, {'1', false}, {'V', true}};
  auto exact = [&want](const std::vector<desktop::TargetEvent>& keys) {
    bool same = keys.size() == want.size();
    for (size_t i = 0; same && i < want.size(); ++i)
      same = keys[i].code == want[i].first && keys[i].ctrl == want[i].second && !keys[i].shift &&
             !keys[i].alt && keys[i].foreground;
    return same;
  };

  s.Await("the stand-in's keys");
  const std::string first = rig.Frame();
  target.WaitKeys(5, 5000);
  const auto alone = KeysWithoutModifiers(target);
  std::string figure = "alone: " + KeyText(alone);
  if (!first.empty())
    return Fail(figure, first);
  if (!exact(alone))
    return Fail(figure, "expected A B 1 Ctrl+V (\"" + sent + "\") in the stand-in, in front");

  // Another program now takes the front back whenever it loses it.
  desktop::Process holder = desktop::Process::Start(
      desktop::StandInCommandLine(standIn, "Check holder", logHolder, true), folder);
  desktop::StandInLog holderLog(logHolder);
  if (!holderLog.WaitStarted(20000))
    return Fail(figure, "the front-holding stand-in did not start");
  PumpFor(500);
  const std::string refusal = rig.Frame();
  PumpFor(1000);
  const auto withHolder = KeysWithoutModifiers(target);
  const auto stolen = KeysWithoutModifiers(holderLog);
  const std::vector<desktop::TargetEvent> second(withHolder.begin() + alone.size(),
                                                 withHolder.end());
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
  if (auto row = s.NeedStandIn())
    return *row;
  const std::string standIn = s.FileOf(L"capture_target.exe");
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
  auto run = [&](const std::string& what, const std::string& extra, unsigned laterMs = 0) {
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    FrameRig rig(" ");
    desktop::StandInLog keys(log);
    rig.acq.Settings.Frame.CaptureTaskId =
        rig.desktop.StartProgram(desktop::StandInCommandLine(standIn, "Check start", log) + extra);
    s.Await("the stand-in \"" + what + "\" to start");
    if (!keys.WaitStarted(20000))
      return note(what, "did not start", false);
    PumpFor(laterMs);
    s.Await("the stand-in \"" + what + "\" to take its key");
    const size_t before = keys.Keys().size();
    const std::string failure = rig.Frame();
    keys.WaitKeys(before + 1, 3000);
    const auto all = keys.Keys();
    const std::vector<desktop::TargetEvent> down(all.begin() + static_cast<ptrdiff_t>(before),
                                                 all.end());
    const bool ok =
        failure.empty() && down.size() == 1 && down[0].code == VK_SPACE && down[0].foreground;
    note(what,
         ok ? "key taken" : (failure.empty() ? std::to_string(down.size()) + " keys" : failure),
         ok);
    desktop::EndProgramsUnder(folder, "capture_target.exe");
  };
  run("plain", "");
  // A launcher with a window of its own, handing over to the program it starts: the frames come
  // long after the hand-over, as a camera program's first frame does.
  run("launcher", " --launch --splash 1500", 12000);
  {
    // The single-instance program runs already, put away; the second start must bring it back.
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    desktop::Process running =
        desktop::Process::Start(desktop::StandInCommandLine(standIn, "Check start", log), folder);
    desktop::StandInLog(log).WaitStarted(20000);
    if (HWND w = desktop::WaitForTopLevel("Check start", running.Id(), 20000)) {
      ShowWindow(w, SW_MINIMIZE);
      desktop::WaitUntil([w] { return GetForegroundWindow() != w; }, 5000);
    }
    FrameRig rig(" ");
    desktop::StandInLog keys(log);
    rig.acq.Settings.Frame.CaptureTaskId = rig.desktop.StartProgram(
        desktop::StandInCommandLine(standIn, "Check start", log) + " --single");
    const std::string failure = rig.Frame();
    keys.WaitKeys(1, 3000);
    const auto down = keys.Keys();
    const bool ok = failure.empty() && down.size() == 1 && down[0].foreground && running.Running();
    note("single instance",
         ok ? "its running copy took the key"
            : (failure.empty() ? std::to_string(down.size()) + " keys" : failure),
         ok);
    desktop::EndProgramsUnder(folder, "capture_target.exe");
  }
  {
    const std::string log = s.FileOf(L"check-start.log");
    DeleteFileW(Widen(log).c_str());
    FrameRig rig(" ");
    rig.acq.Settings.Frame.CaptureTaskId =
        rig.desktop.StartProgram(desktop::StandInCommandLine(standIn, "Check start", log));
    desktop::StandInLog(log).WaitStarted(20000);
    desktop::EndProgramsUnder(folder, "capture_target.exe");
    desktop::WaitUntil([&] { return desktop::ProgramsUnder(folder, "capture_target.exe").empty(); },
                       5000);
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

// A run with keys holds the power request through the tool's own adapter, display included, and
// lets it go when it ends. Under Wine too: what the run asks of the adapter is the tool's own.
CheckResult StayAwake(Shared& s) {
  if (auto row = s.NeedStandIn())
    return *row;
  EndStandIns end{Narrow(s.setting.folder)};
  WatchedAwake awake;
  FrameRig rig(" ");
  PlanShortRun(rig.acq, rig.window, rig.num, 2, 0);
  rig.acq.KeepAwakeWith(awake);
  if (!LaunchStandIn(s, rig, "Check awake", s.FileOf(L"check-awake.log"), ""))
    return Fail("", "the stand-in did not start");
  s.Await("a run of 2 planes with keys to the stand-in");
  if (AcquireStack(rig.acq, rig.window) != 1)
    awake.seen.runEnd = rig.window.GetText(kStatusLine);
  awake.seen.heldAfter = awake.adapter.HoldsSystem() || awake.adapter.HoldsDisplay();
  return JudgeStayAwake(awake.seen, s.setting.wine);
}

// A program busy on its window's thread over its key for longer than the system's "not
// responding": the frame waits for it and the key is taken.
CheckResult BusyProgram(Shared& s) {
  if (auto row = s.NeedStandIn())
    return *row;
  EndStandIns end{Narrow(s.setting.folder)};
  FrameRig rig(" ");
  const std::string log = s.FileOf(L"check-busy.log");
  if (!LaunchStandIn(s, rig, "Check busy", log, " --slow-keydown " + std::to_string(kBusyMs)))
    return Fail("", "the stand-in did not start");
  BusySeen seen;
  seen.busyMs = kBusyMs;
  s.Await("the frame, while the stand-in is busy " + SecondsText(kBusyMs) + " over its key");
  seen.failure = TimedFrame(rig, seen.frameMs);
  // A frame that did not wait still lets the key be logged once the program is done with it.
  const desktop::StandInLog keys(log);
  keys.WaitKeys(1, seen.failure.empty() ? kBusyMs + 3000 : 1000);
  const auto down = keys.Keys();
  seen.keys = down.size();
  seen.inFront = !down.empty() && down[0].foreground;
  return JudgeBusyProgram(seen);
}

// A modal dialog the program opens after its first key: the second frame's key must not go
// into it, and reaches the program's own window once the dialog has closed itself.
CheckResult ModalDialog(Shared& s) {
  if (auto row = s.NeedStandIn())
    return *row;
  EndStandIns end{Narrow(s.setting.folder)};
  FrameRig rig(" ");
  const std::string log = s.FileOf(L"check-dialog.log");
  if (!LaunchStandIn(s, rig, "Check dialog", log,
                     " --dialog-after-key " + std::to_string(kDialogMs)))
    return Fail("", "the stand-in did not start");
  const desktop::StandInLog keys(log);
  auto dialog = [&keys](bool open) {
    const auto events = keys.Events();
    return std::find_if(events.begin(), events.end(), [open](const desktop::TargetEvent& e) {
             return e.kind == desktop::TargetEventKind::Dialog && e.on == open;
           }) != events.end();
  };
  DialogSeen seen;
  seen.dialogMs = kDialogMs;
  s.Await("the first frame, after which the stand-in opens its dialog");
  uint32_t firstMs = 0;
  seen.firstFailure = TimedFrame(rig, firstMs);
  seen.opened = seen.firstFailure.empty() && desktop::WaitUntil([&] { return dialog(true); }, 5000);
  if (seen.opened) {
    s.Await("the second frame, while the stand-in's dialog is open");
    seen.secondFailure = TimedFrame(rig, seen.secondFrameMs);
    desktop::WaitUntil([&] { return dialog(false); }, kDialogMs + 3000);
    keys.WaitKeys(2, 1000);
  }
  const auto events = keys.Events();
  const auto closed = std::find_if(events.begin(), events.end(), [](const desktop::TargetEvent& e) {
    return e.kind == desktop::TargetEventKind::Dialog && !e.on;
  });
  seen.closed = closed != events.end();
  seen.closedByKey = seen.closed && closed->code == 1;
  std::vector<ptrdiff_t> at;  // where each key-down stands among the events
  for (auto e = events.begin(); e != events.end(); ++e) {
    if (e->kind == desktop::TargetEventKind::KeyDown ||
        e->kind == desktop::TargetEventKind::SysKeyDown)
      at.push_back(e - events.begin());
  }
  seen.keys = at.size();
  if (at.size() >= 2) {
    seen.secondAfterClose = seen.closed && at[1] > closed - events.begin();
    seen.secondInFront = events[static_cast<size_t>(at[1])].foreground;
  }
  return JudgeModalDialog(seen);
}

// The log of a short run, pasted by the tool into a new window of the PC's own editor.
CheckResult LogView(Shared& s) {
  if (auto row = s.NeedSimulator())
    return *row;
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
  if (AcquireStack(acq, window) != 1)
    return Fail("", "the run ended with \"" + window.GetText(kStatusLine) + "\"");
  const std::set<HWND> before = desktop::NotepadWindows();
  OperatorCommands commands(acq, window, com, desktop, prompt);
  s.Await("a new window of the PC's editor with the log pasted");
  commands.mnuZLog_Click();
  const desktop::NotepadView view = desktop::WaitForNewNotepad(before, 20000);
  struct EndEditor {
    const desktop::NotepadView& view;
    ~EndEditor() { desktop::EndNotepad(view); }
  } end{view};
  const std::string status = window.GetText(kStatusLine);
  if (view.window == nullptr)
    return Fail("", "no editor window appeared" + (status.empty() ? "" : ": \"" + status + "\""));
  CheckResult r;
  const std::string figure = std::to_string(acq.Run.ZLog.size()) + " characters logged, " +
                             std::to_string(view.text.size()) + " in the editor";
  if (view.text == acq.Run.ZLog)
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

}  // namespace focura::check
