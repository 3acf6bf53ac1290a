#pragma once
// The window's logic, free of any platform: the load, the unload and one handler per control,
// every one of them run inside the dispatch boundary.

#include <functional>
#include <memory>
#include <string>

#include "acq/RunProgress.h"
#include "acq/StayAwake.h"
#include "acq/ZAcq.h"
#include "capture/Desktop.h"
#include "capture/Files.h"
#include "text/NumberText.h"
#include "ui/Controls.h"
#include "ui/Prompt.h"
#include "ui/Window.h"
#include "wait/Clock.h"
#include "zserver/ZServer.h"

namespace focura {

using ZServerFactory = std::function<std::unique_ptr<ZServer>()>;

namespace testing {
struct FormRig;
}

// What the shell lends the runs besides the window, fixed when the controller is built: who is
// told how far a run is and who keeps the system awake during it (nobody when null; both outlive
// the controller), the simulator's speed in um/s while the built-in simulator is the Z server (0
// or empty otherwise), and the note said at start and in a run's progress while a simulator
// registered for the user stands in for this PC's Z server ("" otherwise).
struct FormPorts {
  RunProgress* progress = nullptr;
  StayAwake* awake = nullptr;
  std::function<double()> simulatorSpeed;
  std::string standInNote;
};

class FormController {
 public:
  FormController(Window& window, Prompt& prompt, Clock& clock, Desktop& desktop, Files& files,
                 const NumberText& num, FormPorts ports = {});
  ~FormController();
  FormController(const FormController&) = delete;
  FormController& operator=(const FormController&) = delete;

  // The window loads: settings to their defaults, the Z server created by `create` (a failure to
  // create it propagates: the shell decides what to do), "Show", "Joy On", "Hide" (a failure
  // there goes to the status line and the load goes on), the launch, capture and run buttons
  // disabled, the timing boxes filled. Given `startAgain`, a server whose process has gone is
  // created again by it at the next command (see RestartingZServer).
  void Load(const ZServerFactory& create, const ZServerFactory& startAgain = {});

  // One event of the window: a click on a control or menu item, or the opening of the "Image
  // Capture" menu (Command::mnuCapture); a value outside the enum is ignored. The handler runs
  // inside the dispatch boundary: whatever it lets through is reported in the status line and
  // nothing escapes.
  void Dispatch(Command command);

  // The operator closes the window: "Unload" once; later events are ignored, and a handler that
  // waits at a pump point unwinds without touching the window or the Z server again.
  void Close();
  bool Closed() const;
  // Whether a handler is in progress; the shell destroys the window only when none is.
  bool Busy() const;
  // What a run in progress says while it holds the end of the session; "" without a run.
  std::string RunInProgress() const;
  // The live tooltip of `control`, asked for when it is about to show: "" for none. Reads the
  // window only, never throws.
  std::string Tip(Control control);

 private:
  // The tests' rig sets the settings and reads the run's state as the handlers leave them.
  friend struct testing::FormRig;
  ZAcq& Acq();

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace focura
