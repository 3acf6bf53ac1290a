#pragma once
// What the checks of every family share: the setting, the simulator's registration (made once, on
// first need, and removed when the table's run ends) and the one simulator all rows talk to, as
// the tool keeps one Z server for its session.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Checks.h"
#include "OwnZServer.h"
#include "check/core/CheckReport.h"
#include "win32/ComZServer.h"

namespace focura {
class ZAcq;
class NumberText;
namespace win32 {
class MainWindow;
}
}  // namespace focura

namespace focura::check {

// A plan of `planes` planes, 1 um apart from 10 um on, and timing boxes with no settle or capture
// delay and the given period: a run that takes no longer than its moves and frames need.
void PlanShortRun(ZAcq& acq, win32::MainWindow& window, const NumberText& num, int32_t planes,
                  double periodS);

// Lets the windows of this thread draw and take their messages for a while.
void PumpFor(unsigned ms);

struct Shared {
  CheckSetting setting;
  std::unique_ptr<OwnZServerRegistration> registration;
  std::optional<CheckResult> refused;  // the row of every check that needs the simulator
  std::unique_ptr<win32::ComZServer> sim;

  // Says what the running check waits for now.
  void Await(const std::string& what) const {
    if (setting.waiting)
      setting.waiting(what);
  }
  win32::ComZServer& Sim();
  std::wstring PathOf(const wchar_t* file) const { return setting.folder + L"\\" + file; }
  std::string FileOf(const wchar_t* file) const;
  // The row of a check that cannot reach the simulator under the check's ProgID, or nothing.
  std::optional<CheckResult> NeedSimulator();
  // The row of a check whose stand-in capture_target.exe is missing, or nothing.
  std::optional<CheckResult> NeedStandIn() const;
};

// Each family's checks.
CheckResult SimulatorAcrossProcesses(Shared& s);
CheckResult BusySimulatorRetried(Shared& s);
CheckResult SimulatorQuitsAndRestarts(Shared& s);
CheckResult OwnRegistrationRemoved(Shared& s);

enum class Placement { Front, Covered, Minimised };
// With the taskbar's row from the run in front, when `taskbar` is given.
CheckResult Timing(Shared& s, Placement where, std::optional<CheckResult>* taskbar = nullptr);

CheckResult KeysToStandIn(Shared& s);
CheckResult StartingPrograms(Shared& s);
CheckResult BusyProgram(Shared& s);
CheckResult ModalDialog(Shared& s);
CheckResult StayAwake(Shared& s);
CheckResult LogView(Shared& s);

CheckResult CaptionsAtThisDpi(Shared& s);

CheckResult RealZServer(Shared& s);

}  // namespace focura::check
