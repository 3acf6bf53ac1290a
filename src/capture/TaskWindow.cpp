#include "capture/TaskWindow.h"

#include <algorithm>
#include <set>

namespace focura {

namespace {

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const ProcessEntry* FindProcess(const DesktopSnapshot& s, uint32_t id) {
  for (const auto& p : s.processes) {
    if (p.id == id)
      return &p;
  }
  return nullptr;
}

bool Alive(const DesktopSnapshot& s, uint32_t id) {
  const ProcessEntry* p = FindProcess(s, id);
  return p != nullptr && p->alive;
}

// A window the operator could see and a program would call its own main window.
bool Usable(const DesktopSnapshot& s, const WindowEntry& w) {
  return w.visible && w.owner == 0 && Alive(s, w.processId);
}

// The processes started by `root`, directly or through others (not `root` itself). A child is
// never older than its parent, so a process that only inherited a reused parent id is left out.
std::set<uint32_t> Descendants(const DesktopSnapshot& s, uint32_t root) {
  std::set<uint32_t> found;
  std::vector<const ProcessEntry*> open;
  if (const ProcessEntry* r = FindProcess(s, root))
    open.push_back(r);
  while (!open.empty()) {
    const ProcessEntry* parent = open.back();
    open.pop_back();
    for (const auto& p : s.processes) {
      if (p.parentId == parent->id && p.id != root && p.created >= parent->created &&
          found.insert(p.id).second) {
        open.push_back(&p);
      }
    }
  }
  return found;
}

// The best usable window among those `accept` takes: the one in front, else the first to appear.
template <typename Accept>
const WindowEntry* Pick(const DesktopSnapshot& s, Accept&& accept) {
  const WindowEntry* best = nullptr;
  for (const auto& w : s.windows) {
    if (!Usable(s, w) || !accept(w))
      continue;
    if (w.handle == s.foreground)
      return &w;
    if (best == nullptr || w.appeared < best->appeared)
      best = &w;
  }
  return best;
}

TaskWindowFound Found(TaskRecord& task, const WindowEntry& w) {
  if (task.boundProcess != 0 && task.boundProcess != w.processId)
    task.boundEarlier.push_back(task.boundProcess);
  task.boundProcess = w.processId;
  task.window = w.handle;
  return {TaskWindowState::Found, w.handle, w.processId};
}

bool SameProgram(const DesktopSnapshot& s, const TaskRecord& task, const WindowEntry& w) {
  const ProcessEntry* p = FindProcess(s, w.processId);
  return p != nullptr && SameIgnoringCase(p->exeName, task.exeName);
}

bool AnyAlive(const DesktopSnapshot& s, const std::set<uint32_t>& ids) {
  return std::any_of(ids.begin(), ids.end(), [&](uint32_t id) { return Alive(s, id); });
}

// A window of the same program that did something after the start a running copy does when it
// takes the request: it appeared, came to the front, was restored, shown or flashed.
bool SignalledSinceStart(const TaskRecord& task, const DesktopSnapshot& now, const WindowEntry& w) {
  if (w.appeared > task.lastAppearedBefore || w.flashed > task.lastFlashBefore)
    return true;
  if (w.handle == now.foreground && w.handle != task.foregroundBefore)
    return true;
  for (const auto& before : task.sameProgramBefore) {
    if (before.handle == w.handle)
      return (before.minimized && !w.minimized) || !before.visible;
  }
  return false;
}

}  // namespace

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsTextFieldClass(const std::string& className) {
  std::string lower(className);
  std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
  return lower.find("edit") != std::string::npos;
}

TaskRecord RecordLaunch(uint32_t process, std::string exeName, const DesktopSnapshot& before) {
  TaskRecord task;
  task.process = process;
  task.exeName = std::move(exeName);
  for (const auto& w : before.windows) {
    task.lastAppearedBefore = std::max(task.lastAppearedBefore, w.appeared);
    task.lastFlashBefore = std::max(task.lastFlashBefore, w.flashed);
    if (SameProgram(before, task, w))
      task.sameProgramBefore.push_back(w);
  }
  task.foregroundBefore = before.foreground;
  return task;
}

TaskWindowFound ResolveTaskWindow(TaskRecord& task, const DesktopSnapshot& now) {
  const std::set<uint32_t> started = Descendants(now, task.process);
  if (task.boundProcess != 0) {
    const uint32_t bound = task.boundProcess;
    const bool boundWindowShown =
        std::any_of(now.windows.begin(), now.windows.end(), [&](const WindowEntry& w) {
          return w.handle == task.window && w.processId == bound && Usable(now, w);
        });
    // A launcher's own window (a splash, a chooser, a small panel) holds the task only until a
    // program it started shows one, however late that comes. A program that took the task over
    // gives way to one it starts only while the hand-over is open or once its own window has
    // gone or hidden: later, a helper window of its own must not take the keys.
    std::set<uint32_t> children;
    if (bound == task.process ||
        (started.count(bound) != 0 && (task.handOverOpen || !boundWindowShown)))
      children = Descendants(now, bound);
    if (const WindowEntry* w =
            Pick(now, [&](const WindowEntry& e) { return children.count(e.processId) != 0; }))
      return Found(task, *w);
    // The window found before, while it lasts; then another window of the same program.
    if (boundWindowShown)
      return {TaskWindowState::Found, task.window, bound};
    if (const WindowEntry* w =
            Pick(now, [&](const WindowEntry& e) { return e.processId == bound; }))
      return Found(task, *w);
    if (Alive(now, bound) || AnyAlive(now, children))
      return {TaskWindowState::NotYet, 0, 0};
    // A helper that took the binding over from the program that started it has ended: back to
    // that program while it runs (a launcher that has ended is never gone back to).
    while (!task.boundEarlier.empty()) {
      const uint32_t earlier = task.boundEarlier.back();
      task.boundEarlier.pop_back();
      if (!Alive(now, earlier))
        continue;
      task.boundProcess = earlier;
      task.window = 0;
      if (const WindowEntry* w =
              Pick(now, [&](const WindowEntry& e) { return e.processId == earlier; }))
        return Found(task, *w);
      return {TaskWindowState::NotYet, 0, 0};
    }
    return {TaskWindowState::Ended, 0, 0};
  }

  if (const WindowEntry* w =
          Pick(now, [&](const WindowEntry& e) { return started.count(e.processId) != 0; })) {
    return Found(task, *w);
  }
  if (const WindowEntry* w =
          Pick(now, [&](const WindowEntry& e) { return e.processId == task.process; })) {
    return Found(task, *w);
  }
  const bool running = Alive(now, task.process) || AnyAlive(now, started);
  if (task.handOverOpen) {
    if (const WindowEntry* w = Pick(now, [&](const WindowEntry& e) {
          return SameProgram(now, task, e) && SignalledSinceStart(task, now, e);
        }))
      return Found(task, *w);
    if (!running) {
      // The request went to a running copy that gave no sign: only its one window can be it.
      const WindowEntry* only = nullptr;
      int count = 0;
      for (const auto& w : now.windows) {
        if (Usable(now, w) && SameProgram(now, task, w)) {
          only = &w;
          ++count;
        }
      }
      if (count == 1)
        return Found(task, *only);
    }
  }
  return {running ? TaskWindowState::NotYet : TaskWindowState::Ended, 0, 0};
}

}  // namespace focura
