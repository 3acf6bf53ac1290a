#pragma once
// The capture menu and the launch button: the choice of a method, the launch of the capture
// program (or the probe of the hardware trigger) and the two files of the custom method.

#include <cstdint>
#include <optional>
#include <string>

#include "acq/ZAcq.h"
#include "capture/CaptureMethods.h"
#include "capture/Desktop.h"
#include "capture/Files.h"
#include "ui/Window.h"
#include "zserver/ZServer.h"

namespace focura {

// The menu item of each capture method, in menu order.
struct MethodItem {
  Command item;
  int16_t code;
};
inline constexpr MethodItem kMethodItems[] = {
    {Command::mnuEOSUtil, 1},
    {Command::mnuCanonRemote, 2},
    {Command::mnuBreeze, 3},
    {Command::mnuFujiSU, 4},
    {Command::mnuPath, kCaptureFromFile},
    {Command::mnuHWT, kCaptureHardware},
};

// The handlers of the capture menu and the launch button; they change the capture settings of
// `acq` and use the ports given here.
class CaptureControls {
 public:
  CaptureControls(ZAcq& acq, Window& window, ZServer& zserver, Desktop& desktop, Files& files)
      : acq_(acq), window_(window), zserver_(zserver), desktop_(desktop), files_(files) {}

  // Check mark on the chosen method's item only, launch button enabled; nothing without a method.
  void SyncCaptureMenu();
  // The new CaptureTaskId, or 0 when the start or the probe failed.
  int32_t LaunchCapture();
  void LoadCaptureProgPath();
  void LoadCaptureKey();

  // A click on one of the six method items; false for any other command.
  bool MethodItem_Click(Command item);
  void mnuCapture_Click() { SyncCaptureMenu(); }
  void cmdLaunchCapture_Click();

 private:
  // The file's counting item without blanks around it, or nothing after a message in the status
  // line and the launch button disabled.
  std::optional<std::string> ReadConfigFile(std::string_view name);

  ZAcq& acq_;
  Window& window_;
  ZServer& zserver_;
  Desktop& desktop_;
  Files& files_;
};

}  // namespace focura
