#pragma once

#include <string>

namespace focura {

// Files beside the executable, and the folders of installed programs. Failures throw PlatformError
// with the system's reason.
class Files {
 public:
  virtual ~Files() = default;
  // The directory of the running executable, without a trailing backslash.
  virtual std::string ExeDirectory() = 0;
  // Whether a file exists and is neither hidden nor a system file.
  virtual bool VisibleFileExists(const std::string& path) = 0;
  // The whole file as UTF-8 text.
  virtual std::string ReadAll(const std::string& path) = 0;

  // Where installed programs live: the 32-bit programs' folder and the system's own, without a
  // trailing backslash; empty when the system has none.
  virtual std::string ProgramFilesX86() = 0;
  virtual std::string ProgramFiles() = 0;
  // Whether a program file exists at the path (hidden or not).
  virtual bool ProgramExists(const std::string& path) = 0;
};

}  // namespace focura
