#include "ui/Controls.h"

#include <array>

namespace focura {
namespace {

constexpr FormSpec kForm{"frmFocuraAcq", "Focura Acquisition", 4695, 3495};

using K = ControlKind;
constexpr std::array kControls{
    ControlSpec{"cmdGetTopBot", K::Button, "Get Joystick Top and Bottom", 120, 120, 2412, 372, 0,
                1000},
    ControlSpec{"lblMsg", K::Label, "", 120, 3120, 4455, 255, 1, 1001},
    ControlSpec{"txtCommand", K::TextBox, "", 120, 3840, 2412, 372, 2, 1002},
    ControlSpec{"cmdExecute", K::Button, "Execute", 2640, 3840, 1452, 372, 3, 1003},
    ControlSpec{"cmdFocura", K::Button, "Acquire Z Stack", 120, 2640, 2412, 372, 4, 1004},
    ControlSpec{"cmdSetNum", K::Button, "Set Num. of Planes", 120, 1680, 1572, 372, 5, 1005},
    ControlSpec{"cmdSetStepSize", K::Button, "Set Step Size (um)", 120, 2160, 1572, 372, 6, 1006},
    ControlSpec{"txtNumPlanes", K::TextBox, "", 1800, 1680, 732, 372, 7, 1007},
    ControlSpec{"txtStepSize", K::TextBox, "", 1800, 2160, 732, 372, 8, 1008},
    ControlSpec{"lblTop", K::Label, "", 1200, 600, 1332, 372, 9, 1009},
    ControlSpec{"lblBot", K::Label, "", 1200, 1080, 1332, 372, 10, 1010},
    ControlSpec{"cmdSetTop", K::Button, "Set Top", 120, 600, 972, 372, 11, 1011},
    ControlSpec{"cmdSetBot", K::Button, "Set Bottom", 120, 1080, 972, 372, 12, 1012},
    // The launch button holds three lines of its caption in the dialog font; "Capture One
    // Frame" sits lower to make room, keeping its distance from the timings below.
    ControlSpec{"cmdCapture", K::Button, "Capture One Frame", 2640, 870, 1932, 315, 13, 1013},
    ControlSpec{"cmdLaunchCapture", K::Button, "Launch Capture Program / Enable HW Trigger", 2640,
                120, 1932, 720, 14, 1014},
    ControlSpec{"txtDelay", K::TextBox, "", 3720, 1200, 852, 372, 15, 1015},
    ControlSpec{"lblDelay", K::Label, "Capture Delay (sec.)", 2760, 1200, 975, 375, 16, 1016},
    ControlSpec{"cmdCancelZ", K::Button, "Cancel Z Stack", 2640, 2640, 1932, 372, 17, 1017},
    ControlSpec{"txtSettle", K::TextBox, "", 3720, 1680, 852, 372, 18, 1018},
    ControlSpec{"lblSettle", K::Label, "Settle Delay (sec.)", 2760, 1680, 975, 375, 19, 1019},
    ControlSpec{"txtPeriod", K::TextBox, "", 3720, 2160, 852, 372, 20, 1020},
    ControlSpec{"Label1", K::Label, "Period (sec.) 0 - not used", 2760, 2160, 975, 375, 21, 1021},
};

constexpr LineSpec kLine{"Line1", 120, 0, 4560, 0};

using M = MenuKind;
constexpr std::array kMenus{
    MenuSpec{"mnuZServ", "Z-Server", "", M::Submenu, 0},
    MenuSpec{"mnuShowZServ", "Show Z server", "mnuZServ", M::Item, 2001},
    MenuSpec{"mnuHideZServ", "Hide Z server", "mnuZServ", M::Item, 2002},
    MenuSpec{"mnuZLog", "Z-stack Log", "mnuZServ", M::Item, 2003},
    MenuSpec{"mnuCapture", "Image Capture", "", M::Submenu, 0},
    MenuSpec{"mnuEOSUtil", "Canon EOS Utility", "mnuCapture", M::Item, 2011},
    MenuSpec{"mnuCanonRemote", "Canon Remote Capture", "mnuCapture", M::Item, 2012},
    MenuSpec{"mnuBreeze", "DSLR Remote Pro", "mnuCapture", M::Item, 2013},
    MenuSpec{"mnuFujiSU", "Fuji StudioUtility", "mnuCapture", M::Item, 2014},
    MenuSpec{"mnuPath", "From captureprogpath.txt", "mnuCapture", M::Item, 2015},
    MenuSpec{"mnuHWT", "Hardware Trigger", "mnuCapture", M::Item, 2016},
    MenuSpec{"mnuSep1", "-", "mnuCapture", M::Separator, 0},
    MenuSpec{"mnuDelayKey", "Delay Focus-to-Key", "mnuCapture", M::Item, 2017},
    MenuSpec{"mnuTriggerHold", "HW Trigger Hold Time", "mnuCapture", M::Item, 2018},
    MenuSpec{"mnuSep2", "-", "mnuCapture", M::Separator, 0},
    MenuSpec{"mnuAdvanced", "Advanced", "mnuCapture", M::Submenu, 0},
    MenuSpec{"mnuFujiCapKey", "Fuji Capture Key", "mnuAdvanced", M::Item, 2021},
};

}  // namespace

const FormSpec& MainForm() {
  return kForm;
}
std::span<const ControlSpec> MainControls() {
  return kControls;
}
const LineSpec& MainLine() {
  return kLine;
}
std::span<const MenuSpec> MainMenus() {
  return kMenus;
}

const ControlSpec* FindControl(std::string_view name) {
  for (const auto& c : kControls) {
    if (c.name == name)
      return &c;
  }
  return nullptr;
}

const ControlSpec* FindControlById(int id) {
  for (const auto& c : kControls) {
    if (c.id == id)
      return &c;
  }
  return nullptr;
}

const MenuSpec* FindMenu(std::string_view name) {
  for (const auto& m : kMenus) {
    if (m.name == name)
      return &m;
  }
  return nullptr;
}

const MenuSpec* FindMenuById(int id) {
  if (id == 0)
    return nullptr;
  for (const auto& m : kMenus) {
    if (m.id == id)
      return &m;
  }
  return nullptr;
}

}  // namespace focura
