#pragma once
// The Z server for the start-up of the window, or the operator told why there is none.

#include <windows.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "zserver/SimulatorStandIn.h"
#include "zserver/ZServer.h"

namespace focura::win32 {

// The operator chose to end the program because the Z server is missing.
struct StartupAbandoned : std::runtime_error {
  StartupAbandoned() : std::runtime_error("start-up abandoned without a Z server") {}
};

// Exit code of the program when it ends without a Z server.
inline constexpr int kExitNoZServer = 1;

// Makes the stand-in the operator may choose when the Z server is missing.
using ZServerFactory = std::function<std::unique_ptr<ZServer>()>;

// Creates the Z server by its ProgID. When that fails because the server is a DLL of the other
// width, a message box owned by `owner` names the program of the release to start instead.
// Otherwise it names the ProgID and the reason; given `builtIn`, it offers that stand-in (Yes) or
// quitting (No). Quitting throws StartupAbandoned.
std::unique_ptr<ZServer> CreateZServerOrExplain(HWND owner, const ZServerFactory& builtIn = {});

// The classes the ProgID leads to: as COM resolves it for this program (the user's registration
// first), and as the machine's own registration names it.
ProgIdClasses ReadProgIdClasses(const std::string& progId);

}  // namespace focura::win32
