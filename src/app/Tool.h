#pragma once
// The one place the tool is put together: the window, its logic and the Windows services they use,
// with the Z server the load creates. The program and the PC check's runs in the tool's own window
// both build it here, so that what the check measures is the tool as it ships.

#include <memory>

#include "ui/FormController.h"
#include "win32/ExecutionStateAwake.h"
#include "win32/InputBox.h"
#include "win32/MainWindow.h"
#include "win32/TaskbarProgress.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32Files.h"

namespace zsim::win32 {
class SimHost;
}

namespace focura::app {

class Tool {
 public:
  // Needs COM on this thread for as long as it lives.
  Tool();
  ~Tool();
  Tool(const Tool&) = delete;
  Tool& operator=(const Tool&) = delete;

  // The form's load with the PC's Z server, the built-in simulator offered when there is none (a
  // refusal throws StartupAbandoned); a server whose process went is created again without asking.
  void Load();

  win32::MainWindow& Window() { return window_; }
  FormController& Form() { return form_; }
  win32::TaskbarProgress& Taskbar() { return taskbar_; }

 private:
  class Events;

  win32::Win32Clock clock_;
  const NumberText num_;
  win32::Win32Desktop desktop_;
  win32::Win32Files files_;
  win32::MainWindow window_;
  win32::TaskbarProgress taskbar_;  // before the window shows: the shell announces then
  win32::ExecutionStateAwake awake_;
  win32::InputBox prompt_;
  // The built-in simulator while it is the Z server: the run's estimate counts the moves at its
  // speed. It lives as long as the form holds its Z server, and the estimate is asked only before
  // the close.
  zsim::win32::SimHost* builtIn_ = nullptr;
  FormController form_;
  std::unique_ptr<Events> events_;
};

// The program: the tool wired, loaded, shown and run until its window closes; the exit code.
int RunTool(int showCommand);

}  // namespace focura::app
