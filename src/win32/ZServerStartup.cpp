#include "win32/ZServerStartup.h"

#include <string>

#include "ui/Controls.h"
#include "win32/ComZServer.h"
#include "win32/Utf.h"

namespace focura::win32 {

std::unique_ptr<ZServer> CreateZServerOrExplain(HWND owner) {
  try {
    return std::make_unique<ComZServer>(kZServerProgId);
  } catch (const ZServerUnavailable& e) {
    // The place to offer a stand-in for the missing server: today the only choice is to quit.
    const std::string text =
        std::string(e.what()) + ".\n\nThe Z axis cannot be driven without it. Click OK to quit.";
    MessageBoxW(owner, Widen(text).c_str(), Widen(MainForm().caption).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    throw StartupAbandoned();
  }
}

}  // namespace focura::win32
