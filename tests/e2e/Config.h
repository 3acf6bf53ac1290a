#pragma once
// Where the programs under test and the test folders are, as Windows paths. Each can be moved by
// an environment variable: FOCURA_E2E_TOOL, FOCURA_E2E_ZSIM, FOCURA_E2E_STANDIN, FOCURA_E2E_WORK,
// FOCURA_E2E_ZSIM_DLL, FOCURA_E2E_OTHER_ZSIM_DLL.

#include <string>

namespace focura::e2e {

struct Config {
  std::string toolExe;       // focura.exe
  std::string zsimExe;       // zsim.exe
  std::string standInExe;    // capture_target.exe
  std::string workRoot;      // one sub-folder per test is made here
  std::string zsimDll;       // the in-process simulator of the tool's own width
  std::string otherZsimDll;  // the one of the other width, from the other build tree
};

const Config& TheConfig();

}  // namespace focura::e2e
