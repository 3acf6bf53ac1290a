#pragma once
// Files beside the executable.

#include "capture/Files.h"

namespace focura::win32 {

class Win32Files : public Files {
 public:
  std::string ExeDirectory() override;
  // Directories, hidden and system files count as missing.
  bool VisibleFileExists(const std::string& path) override;
  // UTF-8 with or without a byte order mark, UTF-16 with one, or else the ANSI code page.
  std::string ReadAll(const std::string& path) override;
};

// The decoding ReadAll applies to a file's bytes.
std::string DecodeText(std::string bytes);

}  // namespace focura::win32
