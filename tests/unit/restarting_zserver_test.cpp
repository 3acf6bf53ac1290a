#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "capture/PlatformError.h"
#include "capture/TriggerPulse.h"
#include "fakes/Fakes.h"
#include "form_rig.h"
#include "zserver/RestartingZServer.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;
using fakes::FakeZServer;

// Forwards to a fake that outlives it, so a test can look at every server ever created.
class Forward : public ZServer {
 public:
  explicit Forward(FakeZServer& real) : real_(real) {}
  std::string Exec(const std::string& command) override { return real_.Exec(command); }

 private:
  FakeZServer& real_;
};

// A server whose process goes away at the command `dieAt`.
void DiesAt(FakeZServer& z, const std::string& dieAt) {
  z.onExec = [dieAt](const std::string& c) -> std::optional<std::string> {
    if (c == dieAt)
      throw ZServerLost(c, "the server's process has gone");
    return std::nullopt;
  };
}

struct Restart : ::testing::Test {
  RestartingZServer Make() {
    return RestartingZServer(std::make_unique<Forward>(first), [this] {
      ++created;
      if (!creationFailure.empty())
        throw PlatformError(creationFailure);
      return std::make_unique<Forward>(second);
    });
  }
  FakeZServer first;
  FakeZServer second;
  int created = 0;
  std::string creationFailure;
};

TEST_F(Restart, TheFailingCommandFailsOnceAndTheNextStartsTheServerAgainFirst) {
  DiesAt(first, "Z Rel -1.0000 ; Z Wait ;");
  RestartingZServer z = Make();
  EXPECT_THROW(z.Exec("Z Rel -1.0000 ; Z Wait ;"), ZServerLost);
  EXPECT_FALSE(z.Running());
  EXPECT_EQ(created, 0);  // nothing is started until a command needs it

  second.replies["Z ?"] = "5 um";
  EXPECT_EQ(z.Exec("Z ?"), "5 um");
  EXPECT_EQ(created, 1);
  // The lost move is never repeated; the new server hears the start-up first.
  EXPECT_EQ(second.commands, (Strings{"Show", "Joy On", "Hide", "Z ?"}));
  EXPECT_EQ(first.commands, (Strings{"Z Rel -1.0000 ; Z Wait ;"}));
  z.Exec("Obj GetNum");
  EXPECT_EQ(created, 1);
}

TEST_F(Restart, AStartThatFailsFailsTheCommandUnsentAndIsTriedAgainNextTime) {
  DiesAt(first, "Z ?");
  RestartingZServer z = Make();
  EXPECT_THROW(z.Exec("Z ?"), ZServerLost);

  creationFailure = "its server program could not be started";
  try {
    z.Exec("Obj GetNum");
    ADD_FAILURE() << "no failure";
  } catch (const ZServerError& e) {
    EXPECT_EQ(e.Command(), "Obj GetNum");
    EXPECT_NE(e.Message().find("could not be started again: its server program"),
              std::string::npos);
  }
  creationFailure.clear();
  second.failures["Joy On"] = "joystick unplugged";
  EXPECT_THROW(z.Exec("Obj GetNum"), ZServerError);
  second.failures.clear();
  z.Exec("Obj GetNum");
  EXPECT_EQ(created, 3);
  EXPECT_EQ(second.commands, (Strings{"Show", "Joy On", "Show", "Joy On", "Hide", "Obj GetNum"}));
  // Closing with the server gone starts nothing.
  DiesAt(second, "Z ?");
  EXPECT_THROW(z.Exec("Z ?"), ZServerLost);
  EXPECT_THROW(z.Exec("Unload"), ZServerError);
  EXPECT_EQ(created, 3);
}

TEST_F(Restart, ABoundRunKeepsTheServerOfItsFirstCommandAndALostOneStaysLostUntilItEnds) {
  DiesAt(first, "Z ?");
  RestartingZServer z = Make();
  EXPECT_THROW(z.Exec("Z ?"), ZServerLost);
  // A run that starts with the server gone gets a new one for its first command...
  z.BindRun();
  z.Exec("Z 110.0000 ; Z Wait ;");
  EXPECT_EQ(created, 1);
  // ...and loses it for good: nothing of the run reaches a third server.
  DiesAt(second, "Show");
  EXPECT_THROW(z.Exec("Show"), ZServerLost);
  try {
    z.Exec("Z Rel -10.0000 ; Z Wait ;");
    ADD_FAILURE() << "sent";
  } catch (const ZServerUnsent& e) {
    EXPECT_NE(e.Message().find("lost during the run"), std::string::npos) << e.Message();
  }
  EXPECT_THROW(z.Exec("Z ?"), ZServerUnsent);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(second.commands.back(), "Show");
  // After the run the next command starts it again.
  z.UnbindRun();
  second.onExec = nullptr;
  z.Exec("Z ?");
  EXPECT_EQ(created, 2);
  EXPECT_EQ(second.commands.back(), "Z ?");
}

TEST(RestartInTheForm, PlanSettingsAndLogOutliveTheServer) {
  testing::FormRig r;
  FakeZServer again;
  r.form.Load([&r] { return std::make_unique<Forward>(r.zs); },
              [&again] { return std::make_unique<Forward>(again); });
  r.zs.replies["Z ?"] = "10 um";
  r.form.Dispatch(Command::cmdSetTop);
  DiesAt(r.zs, "Z ?");
  r.form.Dispatch(Command::cmdSetBot);
  EXPECT_NE(r.w.statusHistory.back().find("\"Z ?\" failed"), std::string::npos);

  again.replies["Z ?"] = "30 um";
  r.form.Dispatch(Command::cmdSetBot);
  EXPECT_EQ(r.set.ZTop, 10.0);
  EXPECT_EQ(r.set.ZBottom, 30.0);
  EXPECT_EQ(again.commands, (Strings{"Show", "Joy On", "Hide", "Z ?"}));
  r.form.Close();
  EXPECT_EQ(again.commands.back(), "Unload");
}

// A server started again is said, since its position count may have been reset, and hears the
// switch-off first while the output may be on; that the output may be on is said until one was
// taken.
TEST(RestartInTheForm, AServerStartedAgainIsSaidAndHearsTheSwitchOffFirst) {
  const std::string note =
      "the Z server was started again: its positions may count from a new zero, so check Top and "
      "Bottom before the next run";
  const Strings startUp{"Show", "Joy On", "Hide", "Z ?"};
  const Strings off{"CON /2J0R"};
  struct Case {
    const char* what;
    bool mayBeOn, refused;
    Strings heard;  // by the new server, before its start-up and the command
    bool stillOn;
  };
  const Case cases[] = {
      {"the output is off", false, false, {}, false},
      {"the output may be on", true, false, off, false},
      {"the new server refuses the switch-off", true, true, {off[0], off[0], off[0]}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::FormRig r;
    FakeZServer again;
    r.form.Load([&r] { return std::make_unique<Forward>(r.zs); },
                [&again] { return std::make_unique<Forward>(again); });
    if (c.refused)
      again.failures["CON /2J0R"] = "controller busy";
    again.replies["Z ?"] = "30 um";
    r.run.Trigger.mayBeOn = c.mayBeOn;
    DiesAt(r.zs, "Z ?");
    r.form.Dispatch(Command::cmdSetTop);
    ASSERT_TRUE(again.commands.empty());
    r.form.Dispatch(Command::cmdSetTop);
    Strings heard = c.heard;
    heard.insert(heard.end(), startUp.begin(), startUp.end());
    EXPECT_EQ(again.commands, heard);
    EXPECT_EQ(r.run.Trigger.mayBeOn, c.stillOn);
    const std::string status = r.w.Status();
    EXPECT_NE(status.find(note), std::string::npos) << status;
    EXPECT_EQ(status.ends_with(kMayStillBeOn), c.stillOn) << status;
    // The next click's own text stays as it is, apart from an output that may be on.
    r.form.Dispatch(Command::cmdSetTop);
    EXPECT_EQ(r.w.Status().find(note), std::string::npos) << r.w.Status();
    EXPECT_EQ(r.w.Status().ends_with(kMayStillBeOn), c.stillOn) << r.w.Status();
  }
}

// The loss met by a handler that ran in a pause of the run: the run stops at its next command
// instead of going on with a server that never got its start move.
TEST(RestartInTheForm, ARunWhoseServerWasLostAtAPumpStopsAtItsNextCommand) {
  testing::FormRig r;
  FakeZServer again;
  int created = 0;
  r.form.Load([&r] { return std::make_unique<Forward>(r.zs); },
              [&again, &created] {
                ++created;
                return std::make_unique<Forward>(again);
              });
  r.set.ZTop = 80;
  r.set.ZBottom = 100;
  r.set.StepSize = 10;
  r.set.NumPlanes = 3;
  r.w.texts = {{Control::txtDelay, "0"}, {Control::txtSettle, "0"}, {Control::txtPeriod, "0"}};
  r.set.Frame.CaptureType = 1;
  r.set.Frame.CaptureTaskId = 4242;
  r.set.Frame.KeyDelayMs = 0;
  r.w.onPump = [&r](int n) {
    if (n == 2) {  // the pump after the settle of plane 1
      DiesAt(r.zs, "Show");
      r.form.Dispatch(Command::mnuShowZServ);
    }
  };
  r.zs.commands.clear();
  r.form.Dispatch(Command::cmdFocura);
  EXPECT_EQ(
      r.w.Status(),
      "Z-stack stopped at plane 2: Z server command \"Z Rel -10.0000 ; Z Wait ;\" failed: the "
      "Z server was lost during the run and the run does not go on with another; the next "
      "command after the run starts it again");
  EXPECT_EQ(created, 0);
  EXPECT_TRUE(again.commands.empty());
  EXPECT_EQ(r.zs.commands,
            (Strings{"Z 110.0000 ; Z Wait ;", "Z Rel -10.0000 ; Z Wait ;", "Z ?", "Show"}));
  EXPECT_EQ(r.desk.sent.size(), 1u);  // plane 1 was taken, and nothing after it
  EXPECT_FALSE(r.run.Running());

  r.form.Dispatch(Command::cmdSetTop);
  EXPECT_EQ(created, 1);
  EXPECT_EQ(again.commands, (Strings{"Show", "Joy On", "Hide", "Z ?"}));
}

}  // namespace
}  // namespace focura
