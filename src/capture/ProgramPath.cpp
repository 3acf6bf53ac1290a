#include "capture/ProgramPath.h"

#include <vector>

#include "capture/TaskWindow.h"

namespace focura {

namespace {

constexpr std::string_view kFixedFolder = "C:\\Program Files\\";

}  // namespace

std::string InstalledProgramPath(std::string_view fixedPath, Files& files) {
  const std::string path(fixedPath);
  if (path.size() <= kFixedFolder.size() ||
      !SameIgnoringCase(path.substr(0, kFixedFolder.size()), std::string(kFixedFolder)) ||
      files.ProgramExists(path)) {
    return path;
  }
  const std::string rest = path.substr(kFixedFolder.size());
  for (const std::string& folder : {files.ProgramFilesX86(), files.ProgramFiles()}) {
    if (folder.empty())
      continue;
    const std::string candidate = folder + "\\" + rest;
    if (!SameIgnoringCase(candidate, path) && files.ProgramExists(candidate))
      return candidate;
  }
  return path;
}

}  // namespace focura
