#pragma once
// Bringing a started program to the front before keys are typed into it: keys go to whatever
// window has the focus, so they must reach only the program meant.

#include <cstdint>
#include <functional>
#include <string>

namespace focura {

class Desktop;

// How the failures name the program: "The text editor", "The capture program (task 7)", and
// what a program without a window did not get ("; no key was sent", or nothing).
struct TaskLabel {
  std::string name;
  std::string noWindowTail;
};

// Asks the task's window to the front. Throws PlatformError when the program has ended or shows
// no window.
void ActivateOrThrow(Desktop& desktop, int32_t task, const TaskLabel& label);

// Whether the task holds the front, after a second activation and `settle` when it had lost it:
// a program that took the front may take it straight back.
bool HoldsFront(Desktop& desktop, int32_t task, const TaskLabel& label,
                const std::function<void()>& settle);

}  // namespace focura
