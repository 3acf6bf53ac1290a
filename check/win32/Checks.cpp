// The table: every check with its time limit, its expected time with a wide margin (a check that
// overruns counts as failed and the run goes on without it). The checks themselves live by
// family: SimulatorChecks, TimingChecks, ProgramChecks, WindowChecks, ZServerChecks.

#include "Checks.h"

#include <memory>
#include <optional>

#include "CheckShared.h"

namespace focura::check {

std::vector<Check> CheckTable(const CheckSetting& setting) {
  auto s = std::make_shared<Shared>();
  s->setting = setting;
  auto taskbar = std::make_shared<std::optional<CheckResult>>();
  // Expected: about 1 s to start the simulator, 3 s for a run of 20 planes, 20 s for the programs.
  std::vector<Check> table{
      {"COM by ProgID across processes to the simulator",
       [s] { return SimulatorAcrossProcesses(*s); }, 30, true},
      {"A busy simulator asked again (\"Sim Busy\")", [s] { return BusySimulatorRetried(*s); }, 20,
       true},
      {"1 ms counter: 20 planes, window in front",
       [s, taskbar] { return Timing(*s, Placement::Front, taskbar.get()); }, 60, true},
      {"1 ms counter: 20 planes, window covered", [s] { return Timing(*s, Placement::Covered); },
       60, true},
      {"1 ms counter: 20 planes, window minimised",
       [s] { return Timing(*s, Placement::Minimised); }, 60, true},
      {"Taskbar: the button shows the run's progress",
       [taskbar] {
         if (taskbar->has_value())
           return **taskbar;
         return Skipped("the run in front did not take place");
       },
       5},
      {"Keys to the stand-in while another program holds the front",
       [s] { return KeysToStandIn(*s); }, 90},
      {"The window's captions at this PC's DPI", [s] { return CaptionsAtThisDpi(*s); }, 30},
      // About 4 s: the stand-in's start and two planes.
      {"Stay awake: the power request of a run with keys", [s] { return StayAwake(*s); }, 30},
      {"The log view in the PC's own editor", [s] { return LogView(*s); }, 60, true},
      {"Starting programs: plain, launcher, single instance, ended",
       [s] { return StartingPrograms(*s); }, 150},
      // About 9 s: the stand-in's start and its 7 s over the key.
      {"A busy program: 7 s over its key, past \"not responding\"", [s] { return BusyProgram(*s); },
       45},
      // About 6 s: the stand-in's start and its dialog's 3.5 s.
      {"A modal dialog in the program: no key into it", [s] { return ModalDialog(*s); }, 40},
      // After every other check that needs the simulator: it ends the simulator's process.
      {"A simulator that quits, and the restart", [s] { return SimulatorQuitsAndRestarts(*s); }, 60,
       true},
      {"The real Z server: kind and creation", [s] { return RealZServer(*s); }, 60},
      // Last: the simulator's registration goes before the report is written.
      {"The check's own registration removed", [s] { return OwnRegistrationRemoved(*s); }, 20,
       true},
  };
  return table;
}

}  // namespace focura::check
