#include "capture/TaskFront.h"

#include "capture/Desktop.h"
#include "capture/PlatformError.h"

namespace focura {

void ActivateOrThrow(Desktop& desktop, int32_t task, const TaskLabel& label) {
  switch (desktop.ActivateTask(task)) {
    case TaskActivation::Asked:
      return;
    case TaskActivation::NoWindow:
      throw PlatformError(label.name + " shows no window" + label.noWindowTail);
    case TaskActivation::Ended:
      throw PlatformError(label.name + " has ended");
  }
}

bool HoldsFront(Desktop& desktop, int32_t task, const TaskLabel& label,
                const std::function<void()>& settle) {
  if (desktop.IsTaskForeground(task))
    return true;
  ActivateOrThrow(desktop, task, label);
  settle();
  return desktop.IsTaskForeground(task);
}

}  // namespace focura
