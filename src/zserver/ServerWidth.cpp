#include "zserver/ServerWidth.h"

namespace focura {

const char* ProgramFor(Width width) {
  return width == Width::Bits32 ? "focura32.exe" : "focura.exe";
}

MissingServer ClassifyFailedCreation(const ClassEntries& own, const ClassEntries& other) {
  if (own.inProcess || own.local || other.local)
    return MissingServer::Unusable;
  return other.inProcess ? MissingServer::OtherWidthOnly : MissingServer::NotInstalled;
}

std::string OtherWidthMessage(Width self) {
  const Width other = self == Width::Bits32 ? Width::Bits64 : Width::Bits32;
  const std::string bits = other == Width::Bits32 ? "32-bit" : "64-bit";
  const std::string selfBits = self == Width::Bits32 ? "32-bit" : "64-bit";
  return "The Z server on this PC is a " + bits + " component: start " + ProgramFor(other) +
         "\n\nThis program, " + ProgramFor(self) + ", is " + selfBits +
         " and cannot load it. Click OK to quit.";
}

}  // namespace focura
