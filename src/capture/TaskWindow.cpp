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
  task.boundProcess = w.processId;
  task.window = w.handle;
  return {TaskWindowState::Found, w.handle, w.processId};
}

}  // namespace

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

TaskRecord RecordLaunch(uint32_t process, std::string exeName, const DesktopSnapshot& before) {
  TaskRecord task;
  task.process = process;
  task.exeName = std::move(exeName);
  for (const auto& w : before.windows)
    task.lastAppearedBefore = std::max(task.lastAppearedBefore, w.appeared);
  task.foregroundBefore = before.foreground;
  return task;
}

TaskWindowFound ResolveTaskWindow(TaskRecord& task, const DesktopSnapshot& now) {
  if (task.boundProcess != 0) {
    // The window found before, while it lasts; then another window of the same program.
    for (const auto& w : now.windows) {
      if (w.handle == task.window && w.processId == task.boundProcess && Usable(now, w))
        return {TaskWindowState::Found, w.handle, w.processId};
    }
    const uint32_t bound = task.boundProcess;
    if (const WindowEntry* w =
            Pick(now, [&](const WindowEntry& e) { return e.processId == bound; }))
      return Found(task, *w);
    if (Alive(now, bound))
      return {TaskWindowState::NotYet, 0, 0};
    return {TaskWindowState::Ended, 0, 0};
  }

  if (const WindowEntry* w =
          Pick(now, [&](const WindowEntry& e) { return e.processId == task.process; })) {
    return Found(task, *w);
  }
  const std::set<uint32_t> children = Descendants(now, task.process);
  if (const WindowEntry* w =
          Pick(now, [&](const WindowEntry& e) { return children.count(e.processId) != 0; })) {
    return Found(task, *w);
  }
  const auto newSinceStart = [&](const WindowEntry& e) {
    const ProcessEntry* p = FindProcess(now, e.processId);
    if (!task.handOverOpen || p == nullptr || !SameIgnoringCase(p->exeName, task.exeName))
      return false;
    return e.appeared > task.lastAppearedBefore ||
           (e.handle == now.foreground && e.handle != task.foregroundBefore);
  };
  if (const WindowEntry* w = Pick(now, newSinceStart))
    return Found(task, *w);

  const bool running =
      Alive(now, task.process) ||
      std::any_of(children.begin(), children.end(), [&](uint32_t id) { return Alive(now, id); });
  return {running ? TaskWindowState::NotYet : TaskWindowState::Ended, 0, 0};
}

}  // namespace focura
