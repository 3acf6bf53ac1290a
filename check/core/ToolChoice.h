#pragma once
// Which of the release's two programs suits this PC, from what the Z server's class holds in the
// registry's two views: a 32-bit in-process server (DLL) only focura32.exe can load, a 64-bit one
// only focura.exe; a local server (EXE) serves both, and 64-bit Windows runs the 64-bit program.

#include <string>

#include "zserver/ServerWidth.h"

namespace focura::check {

struct ToolChoice {
  Width program = Width::Bits64;
  std::string why;
  // The Z server is a DLL that a check of this width cannot load: its creation is checked by the
  // check of the other width.
  bool otherCheckCreates = false;
};

ToolChoice ChooseTool(const ClassEntries& bits32, const ClassEntries& bits64, bool windows64,
                      Width self);

// "focura-check.exe" or "focura-check32.exe".
const char* CheckProgramFor(Width width);

}  // namespace focura::check
