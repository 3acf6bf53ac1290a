#pragma once
// Whether a Z server that could not be created is one this program could never load: a 64-bit
// process loads only 64-bit in-process servers (DLLs) and a 32-bit process only 32-bit ones, while
// a local server (an EXE) of either width serves both. The release holds one program of each width
// and the operator is told which one to start.

#include <string>

namespace focura {

enum class Width { Bits32, Bits64 };

// The program of the release built for `width`.
const char* ProgramFor(Width width);

// What one view of the registry (the 32-bit or the 64-bit one) holds for the class the Z server's
// ProgID names.
struct ClassEntries {
  bool inProcess = false;  // InprocServer32
  bool local = false;      // LocalServer32
};

enum class MissingServer {
  NotInstalled,    // neither view holds a server: offer the built-in simulator
  OtherWidthOnly,  // only a DLL of the other width: name the program that can load it
  Unusable,        // a server this program could reach is registered, yet creating it failed
};

// `own` is the view this program reads, `other` the other width's.
MissingServer ClassifyFailedCreation(const ClassEntries& own, const ClassEntries& other);

// The start-up message for MissingServer::OtherWidthOnly, in a program of width `self`.
std::string OtherWidthMessage(Width self);

}  // namespace focura
