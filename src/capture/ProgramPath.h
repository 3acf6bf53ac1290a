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

}  // namespace focura
