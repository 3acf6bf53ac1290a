// The program's entry: process-wide settings, then the tool as src/app/Tool.cpp wires it.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <exception>

#include "app/Tool.h"
#include "ui/Controls.h"
#include "win32/ProcessPolicy.h"
#include "win32/Utf.h"
#include "win32/ZServerStartup.h"

namespace {

using namespace focura;
using namespace focura::win32;

void ReportFatal(const char* what) {
  MessageBoxW(nullptr, Widen(what).c_str(), Widen(MainForm().caption).c_str(),
              MB_OK | MB_ICONERROR);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  KeepTimerResolutionWhenHidden();
  KeepWindowsFromGhosting();
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  try {
    return app::RunTool(showCommand);
  } catch (const StartupAbandoned&) {
    return kExitNoZServer;
  } catch (const std::exception& e) {
    ReportFatal(e.what());
    return 1;
  } catch (...) {
    ReportFatal("Unexpected error");
    return 1;
  }
}
