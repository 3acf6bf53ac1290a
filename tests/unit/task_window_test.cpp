#include <gtest/gtest.h>

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
  // The editor that was open before the start is never the one pasted into.
  now.windows.pop_back();
  TaskRecord again = RecordLaunch(30, "notepad.exe", Before());
  EXPECT_EQ(ResolveTaskWindow(again, now).state, TaskWindowState::Ended);
  // Once the hand-over is closed, a new editor window is not the task's either.
  now.windows.push_back({600, 60, 0, true, 3});
  again.handOverOpen = false;
  EXPECT_EQ(ResolveTaskWindow(again, now).state, TaskWindowState::Ended);
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
