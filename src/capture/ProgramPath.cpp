#include "capture/ProgramPath.h"

#include <vector>

#include "capture/PlatformError.h"
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

std::string CommandLineToStart(std::string_view commandLine, Files& files) {
  const std::string line(commandLine);
  if (line.empty() || line.front() == '"')
    return line;
  const size_t blank = line.find(' ');
  if (blank == std::string::npos)
    return line;
  if (files.ProgramExists(line))
    return "\"" + line + "\"";
  const std::string program = line.substr(0, blank);
  const bool hasFolder = program.find_first_of("\\/:") != std::string::npos;
  const bool isExe =
      program.size() > 4 && SameIgnoringCase(program.substr(program.size() - 4), ".exe");
  if (!hasFolder || (isExe && files.ProgramExists(program)))
    return "\"" + program + "\"" + line.substr(blank);
  throw PlatformError("no program \"" + line +
                      "\" exists; a program path with blanks and arguments after it goes in double "
                      "quotes, the arguments after the closing quote");
}

}  // namespace focura
