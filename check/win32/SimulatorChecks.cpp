// The simulator and COM: zsim.exe reached by a ProgID of the check's own across processes, a
// busy server asked again, a server that quits started again, and the registration removed.

#include <filesystem>

#include "CheckShared.h"
#include "desktop/Process.h"
#include "desktop/Wait.h"
#include "win32/Utf.h"
#include "zserver/RestartingZServer.h"

namespace focura::check {
using win32::Narrow;
using win32::Widen;

CheckResult SimulatorAcrossProcesses(Shared& s) {
  if (auto row = s.NeedSimulator())
    return *row;
  const ULONGLONG start = GetTickCount64();
  win32::ComZServer& z = s.Sim();
  const ULONGLONG created = GetTickCount64();
  z.Exec("Sim Reset");
  const std::string where = z.Exec("Z ?");
  const ULONGLONG answered = GetTickCount64();
  return Pass("created in " + std::to_string(created - start) + " ms, \"Z ?\" answered \"" + where +
                  "\" in " + std::to_string(answered - created) + " ms",
              "zsim.exe reached by the ProgID " + std::string(kCheckProgId));
}

CheckResult BusySimulatorRetried(Shared& s) {
  if (auto row = s.NeedSimulator())
    return *row;
  constexpr int kBusyMs = 700;
  win32::ComZServer& z = s.Sim();
  z.Exec("Sim Busy " + std::to_string(kBusyMs));
  const ULONGLONG start = GetTickCount64();
  const std::string where = z.Exec("Z ?");
  const auto waited = static_cast<long long>(GetTickCount64() - start);
  const std::string figure =
      "\"Z ?\" answered \"" + where + "\" after " + std::to_string(waited) + " ms";
  // The server refuses for kBusyMs; an answer much sooner means the refusal never came.
  if (waited < kBusyMs / 2)
    return Fail(figure, "the simulator did not refuse while busy");
  return Pass(figure, "refused as busy for " + std::to_string(kBusyMs) + " ms, asked again");
}

// The simulator's process ends under the client's feet: the command that finds out fails, the
// next one starts it again, as the tool's window does for hours.
CheckResult SimulatorQuitsAndRestarts(Shared& s) {
  if (!s.setting.wine.empty())
    return Skipped("Wine " + s.setting.wine +
                   "'s COM service may not start a local server again after one quit; the "
                   "release's own tests prove the restart in a session of its own");
  if (auto row = s.NeedSimulator())
    return *row;
  // The session's simulator is the one whose process ends here.
  s.Sim();
  RestartingZServer z(std::move(s.sim),
                      [] { return std::make_unique<win32::ComZServer>(kCheckProgId); });
  z.Exec("Z ?");
  const std::string folder = Narrow(s.setting.folder);
  s.Await("zsim.exe's process to end");
  if (desktop::EndProgramsUnder(folder, "zsim.exe") == 0)
    return Fail("", "the simulator's process was not found to end");
  desktop::WaitUntil([&] { return desktop::ProgramsUnder(folder, "zsim.exe").empty(); }, 10000);
  std::string lost;
  try {
    z.Exec("Z ?");
  } catch (const std::exception& e) {
    lost = e.what();
  }
  if (lost.empty())
    return Fail("", "a command reached a simulator whose process had ended");
  const ULONGLONG start = GetTickCount64();
  const std::string where = z.Exec("Z ?");
  return Pass("lost: \"" + lost + "\"; started again and answered \"" + where + "\" in " +
              std::to_string(GetTickCount64() - start) + " ms");
}

CheckResult OwnRegistrationRemoved(Shared& s) {
  const bool had = s.registration != nullptr;
  s.Await("the simulator's release and the registry");
  s.sim.reset();
  s.registration.reset();
  if (!had)
    return Skipped("nothing was registered");
  const RegisteredServer own = DescribeRegistration(kCheckProgId);
  if (own.registered)
    return Fail(Describe(own), "the check's ProgID is still registered");
  return Pass("", std::string(kCheckProgId) + " removed");
}

}  // namespace focura::check
