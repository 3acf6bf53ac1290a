// The hardware trigger's pulse: the output never left on silently.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "acq_rig.h"
#include "capture/FrameTrigger.h"
#include "form_rig.h"
#include "text/Errors.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;
using testing::AcqRig;

const std::string kMayStillBeOn = "; the trigger output may still be on";

TEST(TriggerPulse, TheOutputGoesOffAfterEveryFailureItCanAndSaysWhenItMayStillBeOn) {
  struct Case {
    const char* what;
    // What each command does: how long it takes (ms on the clock), and how it fails.
    std::map<std::string, uint32_t> takes;
    std::map<std::string, std::function<void(const std::string&)>> fails;
    Strings sent;
    std::string failure;  // empty: none
    bool mayBeOn;
    std::string status;  // what the pulse left in the status line
  };
  const auto refused = [](const std::string& c) { throw ZServerError(c, "refused"); };
  const auto lost = [](const std::string& c) { throw ZServerLost(c, "gone"); };
  const auto unsent = [](const std::string& c) { throw ZServerUnsent(c, "not sent"); };
  const std::string on = "CON /2J1R", off = "CON /2J0R";
  const Case cases[] = {
      {"a plain pulse", {}, {}, {on, off}, "", false, "before"},
      // The fake clock's own pulse lasts 503 ms: the hold, one more tick, and two reads.
      {"off late by the retry interval", {{off, 97}}, {}, {on, off}, "", false, "before"},
      {"off later than that",
       {{off, 98}},
       {},
       {on, off},
       "",
       false,
       "Trigger output on for 601 ms (hold time 500 ms)"},
      {"on refused: off sent all the same",
       {},
       {{on, refused}},
       {on, off},
       "Z server command \"CON /2J1R\" failed: refused",
       false,
       "before"},
      {"on refused and off too",
       {},
       {{on, refused}, {off, refused}},
       {on, off},
       "Z server command \"CON /2J1R\" failed: refused" + kMayStillBeOn,
       true,
       "before"},
      {"on lost with the server",
       {},
       {{on, lost}, {off, unsent}},
       {on, off},
       "Z server command \"CON /2J1R\" failed: gone" + kMayStillBeOn,
       true,
       "before"},
      {"on never sent",
       {},
       {{on, unsent}},
       {on},
       "Z server command \"CON /2J1R\" failed: not sent",
       false,
       "before"},
      {"off refused",
       {},
       {{off, refused}},
       {on, off},
       "Z server command \"CON /2J0R\" failed: refused" + kMayStillBeOn,
       true,
       "before"},
  };
  for (const Case& c : cases) {
    AcqRig r;
    r.acq.CaptureType = kCaptureHardware;
    r.acq.CaptureTaskId = 1;
    r.w.SetText(kStatusLine, "before");
    r.z.onExec = [&](const std::string& command) -> std::optional<std::string> {
      if (auto t = c.takes.find(command); t != c.takes.end())
        r.clock.now += t->second;
      if (auto f = c.fails.find(command); f != c.fails.end())
        f->second(command);
      return std::nullopt;
    };
    std::string failure;
    try {
      CaptureFrame(r.acq);
    } catch (const ZServerError& e) {
      failure = e.what();
    }
    EXPECT_EQ(r.z.commands, c.sent) << c.what;
    EXPECT_EQ(failure, c.failure) << c.what;
    EXPECT_EQ(r.acq.Trigger.mayBeOn, c.mayBeOn) << c.what;
    EXPECT_EQ(r.w.Status(), c.status) << c.what;
    EXPECT_EQ(r.acq.Trigger.longPulses, c.status.rfind("Trigger", 0) == 0 ? 1 : 0) << c.what;
  }
}

TEST(TriggerPulse, ARunTellsAtItsEndThatAPulseRanLong) {
  AcqRig r;
  r.acq.ZTop = 80;
  r.acq.ZBottom = 100;
  r.acq.StepSize = 10;
  r.acq.NumPlanes = 3;
  r.w.texts = {{"txtDelay", "0"}, {"txtSettle", "0"}, {"txtPeriod", "0"}};
  r.acq.CaptureType = kCaptureHardware;
  r.acq.CaptureTaskId = 1;
  r.acq.TriggerHoldMs = 0;
  int offs = 0;
  r.z.onExec = [&](const std::string& command) -> std::optional<std::string> {
    if (command == "CON /2J0R") {
      ++offs;
      r.clock.now += offs == 1 ? 400 : offs == 2 ? 900 : 0;
    }
    return std::nullopt;
  };
  EXPECT_EQ(r.acq.AcquireStack(), 1);
  EXPECT_EQ(r.w.Status(),
            "Z-stack finished; the trigger output stayed on too long at 2 planes (up to 903 ms, "
            "hold time 0 ms)");
  // The next run counts its own pulses only.
  r.z.onExec = nullptr;
  EXPECT_EQ(r.acq.AcquireStack(), 1);
  EXPECT_EQ(r.w.Status(), "Z-stack finished");
}

// However the pulse ended, "CON /2J0R" comes before "Unload".
TEST(TriggerPulse, TheUnloadSwitchesAnOutputThatMayBeOnOffFirst) {
  for (bool closeDuringThePulse : {true, false}) {
    testing::FormRig r;
    r.LoadAndForget();
    r.acq.CaptureType = kCaptureHardware;
    r.acq.CaptureTaskId = 1;
    r.zs.onExec = [&](const std::string& command) -> std::optional<std::string> {
      if (command == "CON /2J1R" && closeDuringThePulse)
        r.form.Close();
      if (command == "CON /2J0R" && r.zs.commands.size() == 2 && !closeDuringThePulse)
        throw ZServerError(command, "controller busy");
      return std::nullopt;
    };
    r.form.Dispatch("cmdCapture");
    if (!closeDuringThePulse) {
      EXPECT_EQ(r.w.Status(),
                "Z server command \"CON /2J0R\" failed: controller busy" + kMayStillBeOn);
      r.form.Close();
    }
    const Strings sent = closeDuringThePulse
                             ? Strings{"CON /2J1R", "CON /2J0R", "Unload"}
                             : Strings{"CON /2J1R", "CON /2J0R", "CON /2J0R", "Unload"};
    EXPECT_EQ(r.Sent(), sent) << closeDuringThePulse;
    EXPECT_FALSE(r.acq.Trigger.mayBeOn);
  }
}

}  // namespace
}  // namespace focura
