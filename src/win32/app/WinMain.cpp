// The program: the window, its logic and the Windows services they use, wired together.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>
#include <optional>
#include <string>

#include "sim/win32/BuiltInZServer.h"
#include "sim/win32/server/SimClass.h"
#include "ui/Controls.h"
#include "ui/FormController.h"
#include "win32/ComApartment.h"
#include "win32/ComZServer.h"
#include "win32/ExecutionStateAwake.h"
#include "win32/InputBox.h"
#include "win32/MainWindow.h"
#include "win32/ProcessPolicy.h"
#include "win32/RegionalSettings.h"
#include "win32/TaskbarProgress.h"
#include "win32/Utf.h"
#include "win32/Win32Clock.h"
#include "win32/Win32Desktop.h"
#include "win32/Win32Files.h"
#include "win32/ZServerStartup.h"

namespace {

using namespace focura;
using namespace focura::win32;

class ControllerEvents : public WindowEvents {
 public:
  explicit ControllerEvents(FormController& form) : form_(form) {}
  void Dispatch(Command command) override { form_.Dispatch(command); }
  void Close() override { form_.Close(); }
  bool Closed() const override { return form_.Closed(); }
  bool Busy() const override { return form_.Busy(); }
  std::string Tip(Control control) override { return form_.Tip(control); }
  std::string RunInProgress() const override { return form_.RunInProgress(); }

 private:
  FormController& form_;
};

void ReportFatal(const char* what) {
  MessageBoxW(nullptr, Widen(what).c_str(), Widen(MainForm().caption).c_str(),
              MB_OK | MB_ICONERROR);
}

int Run(int showCommand) {
  ComApartment com;
  Win32Clock clock;
  const NumberText num(RegionalDecimalSeparator());
  Win32Desktop desktop;
  Win32Files files;
  MainWindow window;
  TaskbarProgress taskbar(window.Handle());  // before the window shows: the shell announces then
  ExecutionStateAwake awake;
  InputBox prompt(window.Handle());
  FormController form(window, prompt, clock, desktop, files, num);
  form.Acq().ReportProgressTo(taskbar);
  form.Acq().KeepAwakeWith(awake);
  ControllerEvents events(form);
  window.Attach(&events);
  form.Acq().StandInNote =
      SimulatorStandInNote(ReadProgIdClasses(kZServerProgId), Narrow(zsim::win32::kSimClsidText));
  form.Load(
      [&window, &form] {
        return CreateZServerOrExplain(window.Handle(), [&form]() -> std::unique_ptr<ZServer> {
          auto sim = std::make_unique<zsim::win32::BuiltInZServer>();
          // The run's estimate counts the moves at the simulator's speed. The simulator lives as
          // long as the form holds its Z server, and the estimate is asked only before the close.
          form.Acq().SimulatorSpeed = [host = &sim->Host()] { return host->Snapshot().speed; };
          return sim;
        });
      },
      // A Z server whose process went is created again the same way, without asking anyone.
      []() -> std::unique_ptr<ZServer> { return std::make_unique<ComZServer>(kZServerProgId); });
  if (!window.CloseRequested())
    window.Show(showCommand);
  return window.RunMessageLoop();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  KeepTimerResolutionWhenHidden();
  KeepWindowsFromGhosting();
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  try {
    return Run(showCommand);
  } catch (const StartupAbandoned&) {
    return kExitNoZServer;
  } catch (const std::exception& e) {
    ReportFatal(e.what());
    return 1;
  } catch (...) {
    ReportFatal("Unexpected error");
    return 1;
  }
}
