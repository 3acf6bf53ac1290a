#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "capture/CaptureMethods.h"
#include "form_rig.h"
#include "ui/Controls.h"
#include "ui/DispatchBoundary.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;

TEST(FormLoad, SetsDefaultsStartsTheServerAndPreparesTheWindow) {
  testing::FormRig r;
  r.set.ZTop = 1;
  r.set.NumPlanes = 3;
  r.set.Frame.KeyDelayMs = 9;
  r.Load();
  EXPECT_EQ(r.Sent(), (Strings{"Show", "Joy On", "Hide"}));
  EXPECT_EQ(r.w.enabled, (std::map<Control, bool>{{Control::cmdLaunchCapture, false},
                                                  {Control::cmdCapture, false},
                                                  {Control::cmdFocura, false}}));
  EXPECT_EQ(r.w.texts, (std::map<Control, std::string>{{Control::txtDelay, "2.0"},
                                                       {Control::txtSettle, "1.0"},
                                                       {Control::txtPeriod, "0.0"}}));
  EXPECT_TRUE(r.w.statusHistory.empty());
  EXPECT_TRUE(r.w.checked.empty());
  EXPECT_EQ(r.set.ZTop, NotSetD);
  EXPECT_EQ(r.set.NumPlanes, NotSet);
  EXPECT_EQ(r.set.Frame.KeyDelayMs, 200);
  EXPECT_FALSE(r.form.Busy());
  EXPECT_FALSE(r.form.Closed());
}

TEST(FormLoad, TimingBoxesUseTheRegionalSeparator) {
  testing::FormRig r(",");
  r.Load();
  EXPECT_EQ(r.w.texts[Control::txtDelay], "2,0");
  EXPECT_EQ(r.w.texts[Control::txtPeriod], "0,0");
}

TEST(FormLoad, FailuresToStartTheServerReachTheShell) {
  testing::FormRig r;
  EXPECT_THROW(r.form.Load([]() -> std::unique_ptr<ZServer> {
    throw PlatformError("Class not registered");
  }),
               PlatformError);
  EXPECT_FALSE(r.form.Busy());
}

TEST(FormLoad, AStartUpCommandThatFailsLeavesAWorkingWindowWithTheReasonInTheStatusLine) {
  testing::FormRig r;
  r.zs.failures["Joy On"] = "no joystick";
  EXPECT_NO_THROW(r.Load());
  EXPECT_EQ(r.Sent(), (Strings{"Show", "Joy On"}));
  EXPECT_EQ(r.w.statusHistory, (Strings{"Z server command \"Joy On\" failed: no joystick"}));
  EXPECT_EQ(r.w.texts[Control::txtDelay], "2.0");
  EXPECT_FALSE(r.w.enabled.at(Control::cmdFocura));
  EXPECT_FALSE(r.form.Busy());

  // The window is in use afterwards: a plan command reaches the same server.
  r.zs.replies["Z ?"] = "12.5 um";
  r.form.Dispatch(Command::cmdSetTop);
  EXPECT_EQ(r.set.ZTop, 12.5);
}

struct Form : ::testing::Test {
  testing::FormRig r;
  void SetUp() override { r.LoadAndForget(); }
  // A plan of `planes` planes from 10 to 30 with the load's timings.
  void Plan(int planes) {
    r.set.ZTop = 10;
    r.set.ZBottom = 30;
    r.set.NumPlanes = planes;
    r.set.StepSize = 20.0 / (planes - 1);
  }
};

TEST_F(Form, CloseSendsUnloadOnceAndReleasesTheServer) {
  r.form.Close();
  r.form.Close();
  EXPECT_EQ(r.Sent(), Strings{"Unload"});
  EXPECT_TRUE(r.form.Closed());
  EXPECT_TRUE(r.released);
}

TEST_F(Form, EventsAfterCloseAreIgnored) {
  r.form.Close();
  r.zs.commands.clear();
  const auto texts = r.w.texts;
  for (const Command command : Commands())
    r.form.Dispatch(command);
  EXPECT_TRUE(r.Sent().empty());
  EXPECT_EQ(r.w.texts, texts);
  EXPECT_TRUE(r.w.enabled.empty());
  EXPECT_EQ(r.w.pumps, 0);
  EXPECT_TRUE(r.prompt.asked.empty());
}

TEST_F(Form, FailingUnloadStillClosesTheWindow) {
  r.zs.failures["Unload"] = "gone";
  r.form.Close();
  EXPECT_TRUE(r.form.Closed());
  EXPECT_TRUE(r.released);
  EXPECT_TRUE(r.w.statusHistory.empty());
}

TEST_F(Form, ValuesThatAreNoCommandAreIgnored) {
  // Controls and menus without a handler, and values beyond the table.
  for (const Control control : {Control::mnuZServ, Control::mnuSep1, Control::mnuAdvanced,
                                Control::lblMsg, Control::txtCommand}) {
    r.form.Dispatch(static_cast<Command>(control));
  }
  for (const int outside : {-1, 9999})
    r.form.Dispatch(static_cast<Command>(outside));
  EXPECT_TRUE(r.Sent().empty());
  EXPECT_TRUE(r.w.statusHistory.empty());
  EXPECT_TRUE(r.w.enabled.empty());
  EXPECT_TRUE(r.w.checked.empty());
}

TEST_F(Form, EveryMenuItemAndButtonHasItsHandler) {
  // Each command leaves a trace of its own: a Z server command, a prompt, a status text, a check
  // mark or a change of the settings.
  r.zs.replies["Z ?"] = "5";
  r.zs.replies["Obj GetNum"] = "x";
  r.zs.replies["CON /2&"] = "EZStepper";
  r.w.texts[Control::txtCommand] = "raw";
  r.run.ZLog = "log";
  r.form.Dispatch(Command::mnuHWT);
  EXPECT_TRUE(r.w.checked[Control::mnuHWT]);
  r.form.Dispatch(Command::cmdLaunchCapture);
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 1);
  r.form.Dispatch(Command::cmdCapture);
  r.form.Dispatch(Command::cmdSetTop);
  r.form.Dispatch(Command::cmdSetBot);
  r.form.Dispatch(Command::cmdGetTopBot);
  r.form.Dispatch(Command::cmdExecute);
  r.form.Dispatch(Command::mnuShowZServ);
  r.form.Dispatch(Command::mnuHideZServ);
  EXPECT_EQ(r.Sent(), (Strings{"CON /2&", "CON /2J1R", "CON /2J0R", "Z ?", "Z ?", "Obj GetNum",
                               "raw", "Show", "Hide"}));
  r.form.Dispatch(Command::mnuDelayKey);
  r.form.Dispatch(Command::mnuTriggerHold);
  r.form.Dispatch(Command::mnuFujiCapKey);
  EXPECT_EQ(r.prompt.asked.size(), 3u);
  r.form.Dispatch(Command::mnuZLog);
  EXPECT_EQ(r.desk.clipboard, "log");
  r.w.texts[Control::txtNumPlanes] = "3";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.set.NumPlanes, 3);
  r.w.texts[Control::txtStepSize] = "2";
  r.form.Dispatch(Command::cmdSetStepSize);
  EXPECT_EQ(r.set.StepSize, 2.0);
  r.form.Dispatch(Command::cmdCancelZ);
  EXPECT_EQ(r.run.CancelZ, 1);
}

TEST_F(Form, RunFromTheButtonFinishesOrIsCancelledFromThePump) {
  Plan(2);
  r.w.texts[Control::txtDelay] = "0";
  r.w.texts[Control::txtSettle] = "0";
  r.zs.replies["Z ?"] = "20";
  r.form.Dispatch(Command::cmdFocura);
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
  EXPECT_EQ(r.run.ZLog, "Planes 2, Step = -20.00 ;\r\n#1, Z=20\r\n#2, Z=20\r\n");

  r.w.onPump = [&](int) { r.form.Dispatch(Command::cmdCancelZ); };
  r.form.Dispatch(Command::cmdFocura);
  EXPECT_EQ(r.w.Status(), "Z-stack cancelled");
}

struct Boundary : Form {};

TEST_F(Boundary, UntrappedServerFailureGoesToTheStatusLineAndTheWindowStaysUsable) {
  r.zs.failures["Hide"] = "server window lost";
  r.form.Dispatch(Command::mnuHideZServ);
  EXPECT_EQ(r.w.Status(), "Z server command \"Hide\" failed: server window lost");
  EXPECT_FALSE(r.form.Busy());

  r.zs.replies["Z ?"] = "12";
  r.form.Dispatch(Command::cmdSetTop);
  EXPECT_EQ(r.set.ZTop, 12.0);
}

TEST_F(Boundary, UntrappedPlatformFailureOfTheFrameTriggerIsReported) {
  r.set.Frame.CaptureType = 1;
  r.set.Frame.CaptureTaskId = 77;
  r.desk.failActivate = true;
  r.form.Dispatch(Command::cmdCapture);
  EXPECT_EQ(r.w.Status(), "no window for task 77");
}

TEST_F(Boundary, NestedFailureDoesNotEndTheInterruptedHandler) {
  r.zs.replies["Obj GetNum"] = "2";
  r.zs.replies["Obj Get 1"] = "a b 1";
  r.zs.replies["Obj Get 2"] = "a b 9";
  r.zs.failures["Show"] = "refused";
  Strings seenAfterNested;
  r.w.onPump = [&](int n) {
    if (n != 1)
      return;
    r.form.Dispatch(Command::mnuShowZServ);
    seenAfterNested.push_back(r.w.Status());
  };
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(seenAfterNested, Strings{"Z server command \"Show\" failed: refused"});
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Show", "Obj Get 1", "Obj Get 2"}));
  EXPECT_EQ(r.set.ZTop, 1.0);
  EXPECT_EQ(r.set.ZBottom, 9.0);
  EXPECT_EQ(r.w.Status(), "ZTop= 1.00, ZBottom= 9.00, ZHeight= 8.00");
}

TEST_F(Boundary, BusyWhileAHandlerRunsNestedOnesIncluded) {
  std::vector<bool> busy;
  r.w.onPump = [&](int n) {
    busy.push_back(r.form.Busy());
    if (n == 1)
      r.form.Dispatch(Command::cmdCancelZ);
    busy.push_back(r.form.Busy());
  };
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(busy, (std::vector<bool>{true, true}));
  EXPECT_FALSE(r.form.Busy());
}

// Closes the window from inside the pump numbered `at`, and notes what the close left.
struct CloseAtPump : Form {
  void CloseAt(int at) {
    r.w.onPump = [this, at](int n) {
      if (n != at)
        return;
      r.form.Close();
      sentAtClose = r.Sent();
      statusAtClose = r.w.statusHistory;
      textsAtClose = r.w.texts;
      enabledAtClose = r.w.enabled;
      releasedAtClose = r.released;
      busyAtClose = r.form.Busy();
      // Events still queued behind the close are ignored.
      r.form.Dispatch(Command::mnuShowZServ);
      r.form.Dispatch(Command::cmdSetTop);
    };
  }
  void ExpectNothingAfterTheClose() {
    EXPECT_EQ(r.Sent(), sentAtClose);
    ASSERT_FALSE(sentAtClose.empty());
    EXPECT_EQ(sentAtClose.back(), "Unload");
    EXPECT_EQ(std::count(r.zs.commands.begin(), r.zs.commands.end(), "Unload"), 1);
    EXPECT_EQ(r.w.statusHistory, statusAtClose);
    EXPECT_EQ(r.w.texts, textsAtClose);
    EXPECT_EQ(r.w.enabled, enabledAtClose);
    EXPECT_FALSE(releasedAtClose) << "released while a handler could still reach it";
    EXPECT_TRUE(busyAtClose);
    EXPECT_TRUE(r.released);
    EXPECT_FALSE(r.form.Busy());
    EXPECT_TRUE(r.form.Closed());
  }
  Strings sentAtClose, statusAtClose;
  std::map<Control, std::string> textsAtClose;
  std::map<Control, bool> enabledAtClose;
  bool releasedAtClose = true;
  bool busyAtClose = false;
};

TEST_F(CloseAtPump, AtTheFirstPointOfTheJoystickCommand) {
  r.zs.replies["Obj GetNum"] = "2";
  CloseAt(1);
  r.form.Dispatch(Command::cmdGetTopBot);
  ExpectNothingAfterTheClose();
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Unload"}));
  EXPECT_EQ(r.w.statusHistory, Strings{"2"});
}

TEST_F(CloseAtPump, AtTheLastPointOfTheJoystickCommandTheEndsStayUnset) {
  r.zs.replies["Obj GetNum"] = "2";
  r.zs.replies["Obj Get 1"] = "a b 1";
  r.zs.replies["Obj Get 2"] = "a b 9";
  CloseAt(3);
  r.form.Dispatch(Command::cmdGetTopBot);
  ExpectNothingAfterTheClose();
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Obj Get 1", "Obj Get 2", "Unload"}));
  EXPECT_EQ(r.set.ZTop, NotSetD);
  EXPECT_EQ(r.set.ZBottom, NotSetD);
}

TEST_F(CloseAtPump, DuringARun) {
  Plan(3);
  r.w.texts[Control::txtDelay] = "0";
  r.w.texts[Control::txtSettle] = "0";
  r.zs.replies["Z ?"] = "20";
  CloseAt(2);  // the first plane's pump, before its frame
  r.form.Dispatch(Command::cmdFocura);
  ExpectNothingAfterTheClose();
  EXPECT_EQ(r.Sent(),
            (Strings{"Z 40.0000 ; Z Wait ;", "Z Rel -10.0000 ; Z Wait ;", "Z ?", "Unload"}));
  EXPECT_FALSE(r.run.Running());
}

TEST_F(CloseAtPump, DuringTheLaunch) {
  r.form.Dispatch(Command::mnuEOSUtil);
  r.w.enabled.clear();
  CloseAt(1);
  r.form.Dispatch(Command::cmdLaunchCapture);
  ExpectNothingAfterTheClose();
  EXPECT_TRUE(r.desk.events.empty());
  EXPECT_EQ(r.set.Frame.CaptureTaskId, 0);
}

TEST_F(CloseAtPump, InsideANestedHandler) {
  // The run's first pump runs the joystick command, whose own pump closes the window: both
  // unwind.
  Plan(3);
  r.w.texts[Control::txtDelay] = "0";
  r.w.texts[Control::txtSettle] = "0";
  r.zs.replies["Obj GetNum"] = "2";
  bool nestedStarted = false;
  r.w.onPump = [&](int n) {
    if (n == 1) {
      nestedStarted = true;
      r.form.Dispatch(Command::cmdGetTopBot);
    } else if (n == 2) {
      r.form.Close();
    }
  };
  r.form.Dispatch(Command::cmdFocura);
  EXPECT_TRUE(nestedStarted);
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Unload"}));
  EXPECT_EQ(r.w.pumps, 2);
  EXPECT_TRUE(r.released);
  EXPECT_FALSE(r.form.Busy());
  EXPECT_FALSE(r.run.Running());
}

TEST_F(CloseAtPump, FailureRaisedAsTheWindowClosesIsNotWrittenToIt) {
  // The Z server's call lets the window's events run while it waits; the close arrives there and
  // the call then fails.
  r.zs.onExec = [&](const std::string& command) -> std::optional<std::string> {
    if (command == "Hide") {
      r.form.Close();
      throw ZServerError(command, "disconnected");
    }
    return std::nullopt;
  };
  r.form.Dispatch(Command::mnuHideZServ);
  EXPECT_TRUE(r.w.statusHistory.empty());
  EXPECT_EQ(r.Sent(), (Strings{"Hide", "Unload"}));
  EXPECT_TRUE(r.released);
}

// However the pulse ended, "CON /2J0R" comes before "Unload".
TEST(FormClose, TheUnloadSwitchesAHardwareTriggerThatMayBeOnOffFirst) {
  for (bool closeDuringThePulse : {true, false}) {
    testing::FormRig r;
    r.LoadAndForget();
    r.set.Frame.CaptureType = kCaptureHardware;
    r.set.Frame.CaptureTaskId = 1;
    r.zs.onExec = [&](const std::string& command) -> std::optional<std::string> {
      if (command == "CON /2J1R" && closeDuringThePulse)
        r.form.Close();
      // Refused at every attempt of the pulse; the close's own switch-off is accepted.
      if (command == "CON /2J0R" && r.zs.commands.size() <= 4 && !closeDuringThePulse)
        throw ZServerError(command, "controller busy");
      return std::nullopt;
    };
    r.form.Dispatch(Command::cmdCapture);
    if (!closeDuringThePulse) {
      EXPECT_EQ(r.w.Status(),
                "Z server command \"CON /2J0R\" failed: controller busy; the trigger output may "
                "still be on");
      r.form.Close();
    }
    const Strings sent = closeDuringThePulse ? Strings{"CON /2J1R", "CON /2J0R", "Unload"}
                                             : Strings{"CON /2J1R", "CON /2J0R", "CON /2J0R",
                                                       "CON /2J0R", "CON /2J0R", "Unload"};
    EXPECT_EQ(r.Sent(), sent) << closeDuringThePulse;
    EXPECT_FALSE(r.run.Trigger.mayBeOn);
  }
}

TEST(DispatchBoundary, MessagesForWhatAHandlerLetsThrough) {
  EXPECT_EQ(RunInBoundary([] { throw ZServerError("Hide", "lost"); }),
            "Z server command \"Hide\" failed: lost");
  EXPECT_EQ(RunInBoundary([] { throw ArithmeticError("division by zero"); }), "division by zero");
  EXPECT_EQ(RunInBoundary([] { throw std::out_of_range("map::at"); }), "Unexpected error: map::at");
  EXPECT_EQ(RunInBoundary([] { throw 42; }), "Unexpected error");
  EXPECT_EQ(RunInBoundary([] { throw WindowClosed(); }), std::nullopt);
  EXPECT_EQ(RunInBoundary([] {}), std::nullopt);
}

// The controller alone keeps the close to one "Unload": a shell may pass on a second close (a
// repeated WM_CLOSE while a handler waits at a pump point, or one after it unwound), and the
// server is still held while the handler can reach it.
TEST_F(Form, ASecondCloseAtAPumpPointOrAfterItSendsNoSecondUnload) {
  r.zs.replies["Obj GetNum"] = "2";
  r.w.onPump = [&](int n) {
    if (n != 1)
      return;
    r.form.Close();
    r.form.Close();
  };
  r.form.Dispatch(Command::cmdGetTopBot);
  r.form.Close();
  EXPECT_EQ(std::count(r.zs.commands.begin(), r.zs.commands.end(), "Unload"), 1);
  EXPECT_EQ(r.Sent().back(), "Unload");
  EXPECT_TRUE(r.released);
}

}  // namespace
}  // namespace focura
