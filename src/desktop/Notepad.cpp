#include "desktop/Notepad.h"

#include "desktop/Process.h"
#include "desktop/Wait.h"
#include "desktop/WindowFinder.h"

namespace focura::desktop {

std::set<HWND> NotepadWindows() {
  std::set<HWND> out;
  for (HWND h : TopLevelWindows()) {
    if (ClassOf(h) == "Notepad")
      out.insert(h);
  }
  return out;
}

NotepadView WaitForNewNotepad(const std::set<HWND>& before, unsigned ms) {
  NotepadView view;
  WaitUntil(
      [&] {
        for (HWND h : NotepadWindows()) {
          if (!before.count(h)) {
            view.window = h;
            return true;
          }
        }
        return false;
      },
      ms);
  if (!view.window)
    return view;
  view.pid = ProcessOf(view.window);
  auto edits = ChildrenOfClass(view.window, "Edit");
  // The packaged editor of Windows 11 writes into a rich edit control of its own.
  if (edits.empty())
    edits = ChildrenOfClass(view.window, "RichEditD2DPT");
  if (edits.empty())
    return view;
  // The paste arrives as one keystroke; once the text is there and reads the same twice in a row
  // it is complete.
  std::string previous;
  WaitUntil(
      [&] {
        std::string now = TextOf(edits.front(), 2000);
        const bool stable = !now.empty() && now == previous;
        previous = std::move(now);
        return stable;
      },
      ms);
  view.text = previous;
  return view;
}

void EndNotepad(const NotepadView& view) {
  if (view.pid == 0)
    return;
  try {
    Process::Open(view.pid).Terminate();
  } catch (...) {
    // Already gone.
  }
}

}  // namespace focura::desktop
