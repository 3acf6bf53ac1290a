#pragma once
// Which window a started program ended up with. A started process is not always the process of
// the window: a launcher starts the real program and exits, a single-instance program hands the
// request to its running copy, and the system's editor may hand over to another process. The
// desktop is looked at through a snapshot; the decision is made here.

#include <cstdint>
#include <string>
#include <vector>

namespace focura {

struct ProcessEntry {
  uint32_t id = 0;
  uint32_t parentId = 0;
  std::string exeName;  // the file name of its executable, without folder
  bool alive = true;
  uint64_t created = 0;  // creation time; a child is never older than its parent
};

struct WindowEntry {
  uint64_t handle = 0;
  uint32_t processId = 0;
  uint64_t owner = 0;  // 0 for an unowned window
  bool visible = false;
  uint64_t appeared = 0;  // counts up in the order the windows were first seen
  bool minimized = false;
  uint64_t flashed = 0;  // the number of its last taskbar flash (counting up), 0 for none
};

// The processes and top-level windows of the desktop at one moment.
struct DesktopSnapshot {
  std::vector<ProcessEntry> processes;
  std::vector<WindowEntry> windows;
  uint64_t foreground = 0;  // the window in front, 0 for none
};

// Supplies snapshots of the desktop.
class DesktopView {
 public:
  virtual ~DesktopView() = default;
  virtual DesktopSnapshot Snapshot() = 0;
};

// What a task knows of its program. `process` and the process it bound to are kept from reuse
// by the platform (their handles stay open), so their ids always mean the same programs.
struct TaskRecord {
  uint32_t process = 0;  // the started process
  std::string exeName;
  uint64_t lastAppearedBefore = 0;  // the newest window number seen before the start
  uint64_t foregroundBefore = 0;    // the window in front before the start
  uint64_t lastFlashBefore = 0;     // the newest flash number seen before the start
  // The windows of programs with the same executable name as they were before the start: a
  // running copy that takes the request may only restore or show one of them.
  std::vector<WindowEntry> sameProgramBefore;
  // Whether a window of another process with the same name may still be the task's: only for a
  // while after the start, or a later copy of the program could be taken for an ended one. A
  // program the started one starts is followed however late it shows its window.
  bool handOverOpen = true;
  uint32_t boundProcess = 0;  // the process of the window once one was found
  uint64_t window = 0;        // the window found last
  // The processes bound before the binding moved on to one they started, oldest first; the task
  // goes back to the newest of them that still runs when the one it moved to ends.
  std::vector<uint32_t> boundEarlier;
};

// The task's start, recorded from a snapshot taken just before it.
TaskRecord RecordLaunch(uint32_t process, std::string exeName, const DesktopSnapshot& before);

enum class TaskWindowState {
  Found,   // `window` is the task's window
  NotYet,  // no window yet, but the program may still show one
  Ended,   // the program has ended and left no window
};

struct TaskWindowFound {
  TaskWindowState state = TaskWindowState::NotYet;
  uint64_t window = 0;
  uint32_t process = 0;
};

// Finds the task's window (a visible unowned one), in this order: one of a process the started
// process started (a launcher's child, at any depth); one of the started process itself; while
// the hand-over is open, one of a process with the same executable name that appeared, came to
// the front, was restored, shown or flashed after the start; and, once the started program has
// ended, the only window of that name if there is exactly one (a running copy that took the
// request without showing it). Once a window was found the task stays with that window's
// process, except that a window shown by a process the bound one started takes the binding over:
// from the started process (a launcher's splash, chooser or panel gives way to the program it
// starts) at any time; from a process that took over itself, while the hand-over is open or once
// its window has gone or hidden. When that one ends, the task goes back to the program it moved
// from, if that still runs. Apart from that, after the bound process ends another program is never
// taken for it. Windows of processes that have ended never count. Updates the record.
TaskWindowFound ResolveTaskWindow(TaskRecord& task, const DesktopSnapshot& now);

// Whether a control of this window class takes typed and pasted text: the system's edit and
// rich edit controls and the editors' own text boxes built on them.
bool IsTextFieldClass(const std::string& className);

// Executable names and paths compare without regard to ASCII case, as the file system does.
bool SameIgnoringCase(const std::string& a, const std::string& b);

}  // namespace focura
