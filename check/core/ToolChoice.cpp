#include "check/core/ToolChoice.h"

namespace focura::check {

const char* CheckProgramFor(Width width) {
  return width == Width::Bits32 ? "focura-check32.exe" : "focura-check.exe";
}

ToolChoice ChooseTool(const ClassEntries& bits32, const ClassEntries& bits64, bool windows64,
                      Width self) {
  ToolChoice c;
  const Width native = windows64 ? Width::Bits64 : Width::Bits32;
  if (bits32.inProcess != bits64.inProcess && !bits32.local && !bits64.local) {
    c.program = bits32.inProcess ? Width::Bits32 : Width::Bits64;
    c.why = std::string("the Z server is a ") + (bits32.inProcess ? "32" : "64") +
            "-bit in-process component (DLL), which only a program of its width can load";
    c.otherCheckCreates = c.program != self;
    return c;
  }
  c.program = native;
  if (bits32.local || bits64.local)
    c.why = "the Z server is a local server (EXE), which either program reaches";
  else if (bits32.inProcess)
    c.why = "the Z server is an in-process component (DLL) of both widths";
  else
    c.why = "no Z server is registered: either program runs with the built-in simulator";
  c.why += windows64 ? "; this Windows is 64-bit" : "; this Windows is 32-bit";
  return c;
}

}  // namespace focura::check
