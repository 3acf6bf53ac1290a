#pragma once
// The fixed paths of the camera programs name "C:\Program Files\"; a 32-bit program on 64-bit
// Windows is installed under the 32-bit programs' folder instead, and on a system that is not on
// drive C the folder lies elsewhere.

#include <string>
#include <string_view>

#include "capture/Files.h"

namespace focura {

// The path the program is installed at: `fixedPath` when it exists or does not lie under
// "C:\Program Files\", else the same path under the 32-bit programs' folder, else under the
// system's own programs' folder, whichever exists first; `fixedPath` when none does (its start
// then fails with the system's reason).
std::string InstalledProgramPath(std::string_view fixedPath, Files& files);

// The command line of the custom method as it is started, its program path in quotes, so that a
// shorter path ("C:\Program" for "C:\Program Files\...") can never run in its place:
// - a line that begins with a quoted path is started as it is, arguments and all;
// - an unquoted line that names an existing program as a whole is that program, quoted;
// - otherwise the program is the text up to the first blank and the rest its arguments: a name
//   without a folder is left to the system's search, a path must name an existing ".exe".
// Throws PlatformError with the reason when the line names no program it could start.
std::string CommandLineToStart(std::string_view commandLine, Files& files);

}  // namespace focura
