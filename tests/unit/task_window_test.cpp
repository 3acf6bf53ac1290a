#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "capture/TaskWindow.h"

namespace focura {
namespace {

// The desktop before every start: the tool (pid 10, window 100 in front) and an editor that was
// already open (pid 20, window 200).
DesktopSnapshot Before() {
  DesktopSnapshot s;
  s.processes = {{10, 1, "focura.exe", true, 5}, {20, 1, "notepad.exe", true, 6}};
  s.windows = {{100, 10, 0, true, 1}, {200, 20, 0, true, 2}};
  s.foreground = 100;
  return s;
}

struct Scenario {
  const char* name;
  std::vector<ProcessEntry> processes;  // added to Before()
  std::vector<WindowEntry> windows;     // added to Before()
  uint64_t foreground;                  // 0: the tool stays in front
  TaskWindowState state;
  uint64_t window;
};

// The task starts pid 30 ("cam.exe", or "notepad.exe" where a scenario's processes say so).
const std::vector<Scenario> kScenarios{
    {"the started process shows its window",
     {{30, 10, "cam.exe", true, 9}},
     {{300, 30, 0, true, 3}},
     0,
     TaskWindowState::Found,
     300},
    {"hidden and owned windows do not count; the unowned visible one does",
     {{30, 10, "cam.exe", true, 9}},
     {{301, 30, 0, false, 3}, {302, 30, 100, true, 4}, {303, 30, 0, true, 5}},
     0,
     TaskWindowState::Found,
     303},
    {"a window in front wins over an earlier one",
     {{30, 10, "cam.exe", true, 9}},
     {{300, 30, 0, true, 3}, {304, 30, 0, true, 4}},
     304,
     TaskWindowState::Found,
     304},
    {"a launcher that exited left its child's window (a grandchild's, too)",
     {{30, 10, "cam.exe", false, 9}, {31, 30, "real.exe", true, 9}, {32, 31, "ui.exe", true, 10}},
     {{320, 32, 0, true, 3}},
     0,
     TaskWindowState::Found,
     320},
    {"a process with the launcher's reused id as parent, older than it, is no child",
     {{30, 10, "cam.exe", false, 9}, {33, 30, "old.exe", true, 3}},
     {{330, 33, 0, true, 3}},
     0,
     TaskWindowState::Ended,
     0},
    {"a single-instance program's running copy opened a new window",
     {{30, 10, "cam.exe", false, 9}, {40, 1, "CAM.EXE", true, 2}},
     {{400, 40, 0, true, 3}},
     0,
     TaskWindowState::Found,
     400},
    {"the running copy brought its old window to the front",
     {{30, 10, "cam.exe", false, 9}, {40, 1, "cam.exe", true, 2}},
     {{400, 40, 0, true, 2}},
     400,
     TaskWindowState::Found,
     400},
    {"an old window of the same program that stayed behind is not the task's",
     {{30, 10, "cam.exe", true, 9}, {40, 1, "cam.exe", true, 2}},
     {{400, 40, 0, true, 2}},
     0,
     TaskWindowState::NotYet,
     0},
    {"a new window of another program is not the task's",
     {{30, 10, "cam.exe", true, 9}, {50, 1, "other.exe", true, 9}},
     {{500, 50, 0, true, 3}},
     500,
     TaskWindowState::NotYet,
     0},
    {"a window whose process has ended does not count",
     {{30, 10, "cam.exe", false, 9}},
     {{300, 30, 0, true, 3}},
     0,
     TaskWindowState::Ended,
     0},
    {"nothing shown yet by a running program",
     {{30, 10, "cam.exe", true, 9}},
     {},
     0,
     TaskWindowState::NotYet,
     0},
    {"a launcher's child still starting",
     {{30, 10, "cam.exe", false, 9}, {31, 30, "real.exe", true, 9}},
     {},
     0,
     TaskWindowState::NotYet,
     0},
    {"the program ended without a window", {}, {}, 0, TaskWindowState::Ended, 0},
};

TEST(ResolveTaskWindow, FindsTheWindowOfTheStartedProgramInEachWayItCanAppear) {
  for (const Scenario& sc : kScenarios) {
    TaskRecord task = RecordLaunch(30, "cam.exe", Before());
    DesktopSnapshot now = Before();
    now.processes.insert(now.processes.end(), sc.processes.begin(), sc.processes.end());
    now.windows.insert(now.windows.end(), sc.windows.begin(), sc.windows.end());
    if (sc.foreground != 0)
      now.foreground = sc.foreground;
    const TaskWindowFound found = ResolveTaskWindow(task, now);
    EXPECT_EQ(found.state, sc.state) << sc.name;
    EXPECT_EQ(found.window, sc.window) << sc.name;
  }
}

TEST(ResolveTaskWindow, TheEditorHandedOverToAnotherProcessIsFoundByItsName) {
  TaskRecord task = RecordLaunch(30, "notepad.exe", Before());
  DesktopSnapshot now = Before();
  now.processes.push_back({30, 10, "notepad.exe", false, 9});
  now.processes.push_back({60, 2, "Notepad.exe", true, 9});
  now.windows.push_back({600, 60, 0, true, 3});
  EXPECT_EQ(ResolveTaskWindow(task, now).window, 600u);
  // The editor open before the start, alone, took the request in a new tab of its window.
  now.windows.pop_back();
  TaskRecord again = RecordLaunch(30, "notepad.exe", Before());
  EXPECT_EQ(ResolveTaskWindow(again, now).window, 200u);
  // With two editors open before and neither showing a sign, neither is pasted into.
  DesktopSnapshot two = Before();
  two.processes.push_back({21, 1, "notepad.exe", true, 7});
  two.windows.push_back({210, 21, 0, true, 2});
  TaskRecord third = RecordLaunch(30, "notepad.exe", two);
  two.processes.push_back({30, 10, "notepad.exe", false, 9});
  EXPECT_EQ(ResolveTaskWindow(third, two).state, TaskWindowState::Ended);
  // Once the hand-over is closed, a new editor window is not the task's either.
  now.windows.push_back({600, 60, 0, true, 3});
  TaskRecord late = RecordLaunch(30, "notepad.exe", Before());
  late.handOverOpen = false;
  EXPECT_EQ(ResolveTaskWindow(late, now).state, TaskWindowState::Ended);
}

// A single-instance program's running copy (pid 40, window 400) took the request; the started
// copy (pid 30) has ended unless a row says otherwise. A second old copy (pid 41, window 410)
// that does nothing is on the desktop where a row says so.
struct RunningCopy {
  const char* name;
  WindowEntry before;  // window 400 before the start
  WindowEntry now;     // and after
  bool secondCopy;
  bool startedAlive;
  bool handOverOpen;
  TaskWindowState state;  // Found: window 400
};

TEST(ResolveTaskWindow, ARunningCopyThatDidNotTakeTheFrontIsFoundByWhatItDid) {
  constexpr bool kOpen = true, kTwo = true, kAlive = true;
  constexpr auto kFound = TaskWindowState::Found, kEnded = TaskWindowState::Ended;
  constexpr auto kNotYet = TaskWindowState::NotYet;  // the started copy may still show its own
  // handle, process, owner, visible, appeared, minimized, flashed
  const WindowEntry shown{400, 40, 0, true, 2, false, 0};
  const WindowEntry minimized{400, 40, 0, true, 2, true, 0};
  const WindowEntry hidden{400, 40, 0, false, 2, false, 0};
  const WindowEntry flashedBefore{400, 40, 0, true, 2, false, 3};
  const WindowEntry flashedAfter{400, 40, 0, true, 2, false, 4};
  const std::vector<RunningCopy> rows{
      {"restored from the taskbar", minimized, shown, kTwo, !kAlive, kOpen, kFound},
      {"restored while the started copy still runs", minimized, shown, kTwo, kAlive, kOpen, kFound},
      {"shown from hidden", hidden, shown, kTwo, !kAlive, kOpen, kFound},
      {"flashed its taskbar button", shown, flashedAfter, kTwo, !kAlive, kOpen, kFound},
      {"a flash from before the start", flashedBefore, flashedBefore, kTwo, !kAlive, kOpen, kEnded},
      {"still minimized is no sign", minimized, minimized, kTwo, !kAlive, kOpen, kEnded},
      {"no sign, but the program's only window", minimized, minimized, !kTwo, !kAlive, kOpen,
       kFound},
      {"the only window, the started copy still running", shown, shown, !kTwo, kAlive, kOpen,
       kNotYet},
      {"a restore after the hand-over closed", minimized, shown, kTwo, !kAlive, !kOpen, kEnded},
      {"the only window after the hand-over closed", shown, shown, !kTwo, !kAlive, !kOpen, kEnded},
  };
  for (const RunningCopy& row : rows) {
    DesktopSnapshot before = Before();
    before.processes.push_back({40, 1, "cam.exe", true, 2});
    before.windows.push_back(row.before);
    if (row.secondCopy) {
      before.processes.push_back({41, 1, "cam.exe", true, 2});
      before.windows.push_back({410, 41, 0, true, 2});
    }
    TaskRecord task = RecordLaunch(30, "cam.exe", before);
    task.handOverOpen = row.handOverOpen;
    DesktopSnapshot now = before;
    now.windows[2] = row.now;
    now.processes.push_back({30, 10, "cam.exe", row.startedAlive, 9});
    const TaskWindowFound found = ResolveTaskWindow(task, now);
    EXPECT_EQ(found.state, row.state) << row.name;
    EXPECT_EQ(found.window, row.state == kFound ? 400u : 0u) << row.name;
  }
}

// What the desktop shows over time after a launcher (pid 30, "cam.exe") was started; each step
// changes the desktop and says what the task's window is then.
struct Step {
  const char* name;
  std::function<void(DesktopSnapshot&, TaskRecord&)> change;
  TaskWindowState state;
  uint64_t window;
};

void Play(const std::vector<Step>& steps) {
  TaskRecord task = RecordLaunch(30, "cam.exe", Before());
  DesktopSnapshot now = Before();
  now.processes.push_back({30, 10, "cam.exe", true, 9});
  for (const Step& step : steps) {
    step.change(now, task);
    const TaskWindowFound found = ResolveTaskWindow(task, now);
    EXPECT_EQ(found.state, step.state) << step.name;
    EXPECT_EQ(found.window, step.window) << step.name;
  }
}

ProcessEntry& ProcessOf(DesktopSnapshot& s, uint32_t id) {
  for (auto& p : s.processes) {
    if (p.id == id)
      return p;
  }
  ADD_FAILURE() << "no process " << id;
  return s.processes.front();
}

void Close(DesktopSnapshot& s, uint64_t window) {
  std::erase_if(s.windows, [&](const WindowEntry& w) { return w.handle == window; });
}

TEST(ResolveTaskWindow, ALaunchersWindowGivesWayToTheProgramItStarts) {
  using S = DesktopSnapshot;
  using T = TaskRecord;
  const auto splash = [](S& s, T&) { s.windows.push_back({300, 30, 0, true, 3}); };
  const auto child = [](S& s, T&) { s.processes.push_back({31, 30, "real.exe", true, 10}); };
  const auto childWindow = [](S& s, T&) { s.windows.push_back({310, 31, 0, true, 4}); };
  const auto launcherEnds = [](S& s, T&) {
    Close(s, 300);
    ProcessOf(s, 30).alive = false;
  };
  const auto childShows = [&](S& s, T& t) {
    child(s, t);
    childWindow(s, t);
  };
  const auto handOverCloses = [](S&, T& t) { t.handOverOpen = false; };
  constexpr auto kFound = TaskWindowState::Found;

  Play({{"the splash is all there is", splash, kFound, 300},
        {"the real program starts, no window yet", child, kFound, 300},
        {"its window takes the task over from the splash", childWindow, kFound, 310},
        {"the launcher closes its splash and exits", launcherEnds, kFound, 310}});

  Play({{"the splash", splash, kFound, 300},
        {"the real program starts", child, kFound, 300},
        {"the launcher is gone before its child shows a window", launcherEnds,
         TaskWindowState::NotYet, 0},
        {"the child's window", childWindow, kFound, 310}});

  Play({{"splash and child window at the first look",
         [&](S& s, T& t) {
           splash(s, t);
           childShows(s, t);
         },
         kFound, 310}});

  // A program that shows a helper's window soon after its start gets the task back when the
  // helper ends.
  const auto helperEnds = [](S& s, T&) {
    Close(s, 310);
    ProcessOf(s, 31).alive = false;
  };
  Play({{"the program's own window", splash, kFound, 300},
        {"a helper it started shows a window", childShows, kFound, 310},
        {"the helper ends", helperEnds, kFound, 300},
        {"then the program ends", launcherEnds, TaskWindowState::Ended, 0}});

  // The camera program comes up minutes after its launcher: followed all the same, past the
  // launcher's splash that hides and its panel that stays.
  const auto splashHidesPanelShows = [](S& s, T&) {
    s.windows[2].visible = false;
    s.windows.push_back({301, 30, 0, true, 5});
  };
  Play({{"the splash", splash, kFound, 300},
        {"the hand-over closes", handOverCloses, kFound, 300},
        {"the splash hides, the launcher's panel stays", splashHidesPanelShows, kFound, 301},
        {"the real program starts", child, kFound, 301},
        {"its window, well after the hand-over", childWindow, kFound, 310},
        {"the launcher ends", launcherEnds, kFound, 310}});

  // A program that took the task over keeps it from a helper of its own once the hand-over has
  // closed, until its own window goes.
  const auto helper = [](S& s, T&) {
    s.processes.push_back({32, 31, "helper.exe", true, 11});
    s.windows.push_back({320, 32, 0, true, 6});
  };
  const auto childWindowHides = [](S& s, T&) {
    for (auto& w : s.windows) {
      if (w.handle == 310)
        w.visible = false;
    }
  };
  Play({{"the splash", splash, kFound, 300},
        {"the real program's window", childShows, kFound, 310},
        {"the hand-over closes", handOverCloses, kFound, 310},
        {"a helper of the real program shows a window", helper, kFound, 310},
        {"the real program's window hides", childWindowHides, kFound, 320}});
}

TEST(ResolveTaskWindow, ARunningCopyFoundByItsNameDoesNotPassTheTaskToItsOwnChildren) {
  TaskRecord task = RecordLaunch(30, "cam.exe", Before());
  DesktopSnapshot now = Before();
  now.processes.push_back({30, 10, "cam.exe", false, 9});
  now.processes.push_back({40, 1, "cam.exe", true, 2});
  now.windows.push_back({400, 40, 0, true, 3});
  ASSERT_EQ(ResolveTaskWindow(task, now).window, 400u);
  now.processes.push_back({41, 40, "updater.exe", true, 11});
  now.windows.push_back({410, 41, 0, true, 4});
  now.foreground = 410;
  EXPECT_EQ(ResolveTaskWindow(task, now).window, 400u);
}

TEST(IsTextFieldClass, TheSystemsEditControlsAndTheEditorsTextBoxesTakeText) {
  for (const char* yes : {"Edit", "EDIT", "RichEdit20W", "RICHEDIT50W", "RichEditD2DPT"})
    EXPECT_TRUE(IsTextFieldClass(yes)) << yes;
  for (const char* no : {"", "Notepad", "Button", "Static", "#32770"})
    EXPECT_FALSE(IsTextFieldClass(no)) << no;
}

TEST(ResolveTaskWindow, AFoundProgramIsKeptAndNeverReplacedByAnotherAfterItEnds) {
  TaskRecord task = RecordLaunch(30, "cam.exe", Before());
  DesktopSnapshot now = Before();
  now.processes.push_back({30, 10, "cam.exe", true, 9});
  now.windows.push_back({300, 30, 0, true, 3});
  ASSERT_EQ(ResolveTaskWindow(task, now).window, 300u);

  // A second window in front does not move the task off the first while it lasts.
  now.windows.push_back({301, 30, 0, true, 4});
  now.foreground = 301;
  EXPECT_EQ(ResolveTaskWindow(task, now).window, 300u);
  // When the first closes, the program's other window takes over.
  now.windows.erase(now.windows.begin() + 2);
  EXPECT_EQ(ResolveTaskWindow(task, now).window, 301u);
  // A program between windows is waited for.
  now.windows.pop_back();
  EXPECT_EQ(ResolveTaskWindow(task, now).state, TaskWindowState::NotYet);

  // It ends; a new copy of the same program opens a window in front: not the task's.
  now.processes.back().alive = false;
  now.processes.push_back({70, 10, "cam.exe", true, 20});
  now.windows.push_back({700, 70, 0, true, 9});
  now.foreground = 700;
  const TaskWindowFound found = ResolveTaskWindow(task, now);
  EXPECT_EQ(found.state, TaskWindowState::Ended);
  EXPECT_EQ(found.window, 0u);
}

}  // namespace
}  // namespace focura
