#pragma once
// Files beside the executable, and the folders of installed programs.

#include "capture/Files.h"

namespace focura::win32 {

class Win32Files : public Files {
 public:
  std::string ExeDirectory() override;
  // Directories, hidden and system files count as missing.
  bool VisibleFileExists(const std::string& path) override;
  // UTF-8 with or without a byte order mark, UTF-16 with one, or else the ANSI code page.
  std::string ReadAll(const std::string& path) override;
  // The known folders of 32-bit programs and of the system's own programs.
  std::string ProgramFilesX86() override;
  std::string ProgramFiles() override;
  bool ProgramExists(const std::string& path) override;
};

// The decoding ReadAll applies to a file's bytes.
std::string DecodeText(std::string bytes);

}  // namespace focura::win32
