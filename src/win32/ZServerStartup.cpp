#include "win32/ZServerStartup.h"

#include <string>

#include "ui/Controls.h"
#include "win32/ComZServer.h"
#include "win32/Utf.h"

namespace focura::win32 {

std::unique_ptr<ZServer> CreateZServerOrExplain(HWND owner, const ZServerFactory& builtIn) {
  try {
    return std::make_unique<ComZServer>(kZServerProgId);
  } catch (const ZServerUnavailable& e) {
    if (builtIn) {
      const std::string text = std::string(e.what()) +
                               ".\n\nClick Yes to use the built-in simulator instead (a dry run: "
                               "no hardware moves), or No to quit.";
      if (MessageBoxW(owner, Widen(text).c_str(), Widen(MainForm().caption).c_str(),
                      MB_YESNO | MB_ICONWARNING | MB_SETFOREGROUND) == IDYES)
        return builtIn();
      throw StartupAbandoned();
    }
    const std::string text =
        std::string(e.what()) + ".\n\nThe Z axis cannot be driven without it. Click OK to quit.";
    MessageBoxW(owner, Widen(text).c_str(), Widen(MainForm().caption).c_str(),
                MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
    throw StartupAbandoned();
  }
}

}  // namespace focura::win32
