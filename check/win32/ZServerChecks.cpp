// The real Z server: what its ProgID leads to, which of the two programs suits it, and its
// creation, by the check of the width that can load it.

#include "CheckShared.h"
#include "PcFacts.h"
#include "check/core/ToolChoice.h"
#include "win32/ComZServer.h"

namespace focura::check {

CheckResult RealZServer(Shared& s) {
  const RegisteredServer real = DescribeRegistration(kZServerProgId);
  const ToolChoice choice = ChooseTool(real.bits32, real.bits64, WindowsIs64Bit(), ThisWidth());
  const std::string figure =
      Describe(real) + "; use " + ProgramFor(choice.program) + " on this PC: " + choice.why;
  if (!real.registered)
    return {Status::Skipped,
            figure,
            "the Z server \"" + std::string(kZServerProgId) + "\" is not registered on this PC",
            {},
            {}};
  if (choice.otherCheckCreates)
    return {Status::Skipped,
            figure,
            std::string("this check, ") + CheckProgramFor(ThisWidth()) +
                ", cannot load a Z server of the other width",
            {},
            std::string("run ") + CheckProgramFor(choice.program) +
                " beside it to check the Z server's creation"};
  if (s.setting.unattended)
    return {Status::Skipped,
            figure,
            "unattended run: nobody to confirm that the Z server may be started",
            {},
            {}};
  if (!s.setting.mayCreateZServer)
    return {
        Status::Skipped, figure, "the operator did not allow the Z server to be started", {}, {}};
  try {
    s.Await("the Z server's creation (" + std::string(kZServerProgId) + ")");
    const ULONGLONG start = GetTickCount64();
    { win32::ComZServer z(kZServerProgId); }
    return Pass(figure + "; created and released in " + std::to_string(GetTickCount64() - start) +
                " ms");
  } catch (const std::exception& e) {
    return Fail(figure, e.what());
  }
}

}  // namespace focura::check
