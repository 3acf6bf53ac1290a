#pragma once
// Where the programs under test and the test folders are, as Windows paths. Each can be moved by
// an environment variable: FOCURA_E2E_TOOL, FOCURA_E2E_ZSIM, FOCURA_E2E_STANDIN, FOCURA_E2E_WORK.

#include <string>

namespace focura::e2e {

struct Config {
  std::string toolExe;     // focura.exe
  std::string zsimExe;     // zsim.exe
  std::string standInExe;  // capture_target.exe
  std::string workRoot;    // one sub-folder per test is made here
};

const Config& TheConfig();

}  // namespace focura::e2e
