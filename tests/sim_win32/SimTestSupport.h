#pragma once
// Helpers for the simulator's Windows tests: running zsim.exe with arguments, waiting on
// observable state with a deadline, and reading the recorder's file.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace zsim::test {

// Runs zsim.exe with `args` and returns its exit code; throws when it cannot be started or does
// not end within 30 s.
DWORD RunZsim(const std::wstring& args);
// A file name of this test run's own in the temporary folder.
std::wstring TempFile(const std::wstring& stem);
// Polls `condition` every 20 ms until it holds or `ms` pass; returns its last value.
bool WaitFor(const std::function<bool()>& condition, DWORD ms = 10000);
// How many processes named zsim.exe are running.
int ZsimProcesses();
// The record lines of a recorder log (comments dropped), each split at its tabs.
std::vector<std::vector<std::string>> ReadRecord(const std::wstring& path);

}  // namespace zsim::test
