#pragma once
// The one list of the main window's controls and menu items. ui/Controls.h makes of it the
// `Control` and `Command` enums, the names, the Win32 ids and the layout tables; adding a button
// is one row here and one `case` in the form's dispatch, which the compiler asks for.
//
// The event column: `Command` when a click on the control or item (or, for a menu, its opening)
// is one of the window's commands, `None` when it is not.

// CONTROL(name, kind, event, caption, left, top, width, height, Win32 id), in tab order; geometry
// in twips from the top left corner of the client area.
#define FOCURA_CONTROLS(CONTROL)                                                                   \
  CONTROL(cmdGetTopBot, Button, Command, "Get Joystick Top and Bottom", 120, 120, 2412, 372, 1000) \
  CONTROL(lblMsg, Label, None, "", 120, 3120, 4455, 255, 1001)                                     \
  CONTROL(txtCommand, TextBox, None, "", 120, 3840, 2412, 372, 1002)                               \
  CONTROL(cmdExecute, Button, Command, "Execute", 2640, 3840, 1452, 372, 1003)                     \
  CONTROL(cmdFocura, Button, Command, "Acquire Z Stack", 120, 2640, 2412, 372, 1004)               \
  CONTROL(cmdSetNum, Button, Command, "Set Num. of Planes", 120, 1680, 1572, 372, 1005)            \
  CONTROL(cmdSetStepSize, Button, Command, "Set Step Size (um)", 120, 2160, 1572, 372, 1006)       \
  CONTROL(txtNumPlanes, TextBox, None, "", 1800, 1680, 732, 372, 1007)                             \
  CONTROL(txtStepSize, TextBox, None, "", 1800, 2160, 732, 372, 1008)                              \
  CONTROL(lblTop, Label, None, "", 1200, 600, 1332, 372, 1009)                                     \
  CONTROL(lblBot, Label, None, "", 1200, 1080, 1332, 372, 1010)                                    \
  CONTROL(cmdSetTop, Button, Command, "Set Top", 120, 600, 972, 372, 1011)                         \
  CONTROL(cmdSetBot, Button, Command, "Set Bottom", 120, 1080, 972, 372, 1012)                     \
  /* The launch button holds three lines of its caption in the dialog font; "Capture One           \
     Frame" sits lower to make room, keeping its distance from the timings below. */               \
  CONTROL(cmdCapture, Button, Command, "Capture One Frame", 2640, 870, 1932, 315, 1013)            \
  CONTROL(cmdLaunchCapture, Button, Command, "Launch Capture Program / Enable HW Trigger", 2640,   \
          120, 1932, 720, 1014)                                                                    \
  CONTROL(txtDelay, TextBox, None, "", 3720, 1200, 852, 372, 1015)                                 \
  CONTROL(lblDelay, Label, None, "Capture Delay (sec.)", 2760, 1200, 975, 375, 1016)               \
  CONTROL(cmdCancelZ, Button, Command, "Cancel Z Stack", 2640, 2640, 1932, 372, 1017)              \
  CONTROL(txtSettle, TextBox, None, "", 3720, 1680, 852, 372, 1018)                                \
  CONTROL(lblSettle, Label, None, "Settle Delay (sec.)", 2760, 1680, 975, 375, 1019)               \
  CONTROL(txtPeriod, TextBox, None, "", 3720, 2160, 852, 372, 1020)                                \
  CONTROL(Label1, Label, None, "Period (sec.) 0 - not used", 2760, 2160, 975, 375, 1021)

// MENU(name, kind, event, caption, parent, Win32 id), in menu order; `parent` is the enclosing
// menu or MenuBar. Separators and menus that only open have no id (0).
#define FOCURA_MENUS(MENU)                                                      \
  MENU(mnuZServ, Submenu, None, "Z-Server", MenuBar, 0)                         \
  MENU(mnuShowZServ, Item, Command, "Show Z server", mnuZServ, 2001)            \
  MENU(mnuHideZServ, Item, Command, "Hide Z server", mnuZServ, 2002)            \
  MENU(mnuZLog, Item, Command, "Z-stack Log", mnuZServ, 2003)                   \
  /* Its opening is a command: the check marks follow the chosen method. */     \
  MENU(mnuCapture, Submenu, Command, "Image Capture", MenuBar, 0)               \
  MENU(mnuEOSUtil, Item, Command, "Canon EOS Utility", mnuCapture, 2011)        \
  MENU(mnuCanonRemote, Item, Command, "Canon Remote Capture", mnuCapture, 2012) \
  MENU(mnuBreeze, Item, Command, "DSLR Remote Pro", mnuCapture, 2013)           \
  MENU(mnuFujiSU, Item, Command, "Fuji StudioUtility", mnuCapture, 2014)        \
  MENU(mnuPath, Item, Command, "From captureprogpath.txt", mnuCapture, 2015)    \
  MENU(mnuHWT, Item, Command, "Hardware Trigger", mnuCapture, 2016)             \
  MENU(mnuSep1, Separator, None, "-", mnuCapture, 0)                            \
  MENU(mnuDelayKey, Item, Command, "Delay Focus-to-Key", mnuCapture, 2017)      \
  MENU(mnuTriggerHold, Item, Command, "HW Trigger Hold Time", mnuCapture, 2018) \
  MENU(mnuSep2, Separator, None, "-", mnuCapture, 0)                            \
  MENU(mnuAdvanced, Submenu, None, "Advanced", mnuCapture, 0)                   \
  MENU(mnuFujiCapKey, Item, Command, "Fuji Capture Key", mnuAdvanced, 2021)
