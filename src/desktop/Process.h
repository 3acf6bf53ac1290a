#pragma once
// A program started by the check or the tests, known by its process handle. The destructor ends
// it if it is still running, so a failed check leaves nothing behind for the next one.

#include <cstdint>
#include <string>
#include <vector>

#include "win32/Owned.h"

namespace focura::desktop {

class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  ~Process();

  // Starts `commandLine` (UTF-8) in `directory`, its window shown normally. Throws on failure.
  static Process Start(const std::string& commandLine, const std::string& directory);
  // Takes ownership of an existing process by id (a program the tool started).
  static Process Open(unsigned long pid);

  bool Valid() const { return static_cast<bool>(handle_); }
  unsigned long Id() const { return pid_; }
  bool Running() const;
  // Waits up to `ms`; true when the process has ended.
  bool WaitExit(unsigned ms) const;
  // Exit code once ended.
  unsigned long ExitCode() const;
  void Terminate();

 private:
  win32::UniqueHandle handle_;
  unsigned long pid_ = 0;
};

// Ids of the running processes whose executable lies in `directory` or below it (the copies a
// check or a test made there, started by it or by the tool); with `fileName`, only those of that
// executable name (case-insensitive).
std::vector<unsigned long> ProgramsUnder(const std::string& directory,
                                         const std::string& fileName = {});
// Ends them. Returns how many were ended.
int EndProgramsUnder(const std::string& directory, const std::string& fileName = {});

// Runs a command line to its end (bounded by `ms`) and returns its exit code; throws on a start
// failure or time-out.
unsigned long RunToEnd(const std::string& commandLine, const std::string& directory, unsigned ms);

}  // namespace focura::desktop
