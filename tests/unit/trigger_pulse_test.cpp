// The hardware trigger's pulse: the output never left on silently.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acq_rig.h"
#include "capture/FrameTrigger.h"
#include "form_rig.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;
using testing::AcqRig;

const std::string kMayStillBeOn = "; the trigger output may still be on";

// How a command fails: "" not at all, "refused" by the server, "lost" with its process, "unsent"
// when no server heard it.
void FailAs(const std::string& how, const std::string& command) {
  if (how == "refused")
    throw ZServerError(command, how);
  if (how == "lost")
    throw ZServerLost(command, how);
  if (how == "unsent")
    throw ZServerUnsent(command, how);
}

TEST(TriggerPulse, TheOutputGoesOffAfterEveryFailureItCanAndSaysWhenItMayStillBeOn) {
  struct Case {
    const char* what;
    uint32_t offTakesMs;  // on the fake clock, whose own pulse lasts 503 ms for a hold of 500
    std::string on, off;  // how each fails
    size_t sent;          // of "CON /2J1R", "CON /2J0R"
    std::string failure;  // the failure's text; empty: none
    bool mayBeOn;
    std::string status;
  };
  const std::string kOn = "Z server command \"CON /2J1R\" failed: ";
  const std::string kOff = "Z server command \"CON /2J0R\" failed: ";
  for (const Case& c : {
           Case{"a plain pulse", 0, "", "", 2, "", false, "before"},
           Case{"off late by the retry interval", 97, "", "", 2, "", false, "before"},
           Case{"off later still", 98, "", "", 2, "", false,
                "Trigger output on for 601 ms (hold time 500 ms)"},
           Case{"on refused: off all the same", 0, "refused", "", 2, kOn + "refused", false,
                "before"},
           Case{"on and off refused", 0, "refused", "refused", 2, kOn + "refused" + kMayStillBeOn,
                true, "before"},
           Case{"on lost with the server", 0, "lost", "unsent", 2, kOn + "lost" + kMayStillBeOn,
                true, "before"},
           Case{"on never sent", 0, "unsent", "", 1, kOn + "unsent", false, "before"},
           Case{"off refused", 0, "", "refused", 2, kOff + "refused" + kMayStillBeOn, true,
                "before"},
       }) {
    AcqRig r;
    r.HardwareTrigger(500);
    r.w.SetText(kStatusLine, "before");
    r.z.onExec = [&](const std::string& command) -> std::optional<std::string> {
      const bool on = command == "CON /2J1R";
      if (!on)
        r.clock.now += c.offTakesMs;
      FailAs(on ? c.on : c.off, command);
      return std::nullopt;
    };
    std::string failure;
    try {
      r.acq.CaptureFrame();
    } catch (const ZServerError& e) {
      failure = e.what();
    }
    const Strings pulse{"CON /2J1R", "CON /2J0R"};
    EXPECT_EQ(r.z.commands, Strings(pulse.begin(), pulse.begin() + c.sent)) << c.what;
    EXPECT_EQ(failure, c.failure) << c.what;
    EXPECT_EQ(r.acq.Trigger.mayBeOn, c.mayBeOn) << c.what;
    EXPECT_EQ(r.w.Status(), c.status) << c.what;
    EXPECT_EQ(r.acq.Trigger.longPulses, c.status == "before" ? 0 : 1) << c.what;
  }
}

TEST(TriggerPulse, ARunTellsAtItsEndThatAPulseRanLong) {
  AcqRig r;
  r.Plan(80, 100, 10, 3);
  r.Timings("0", "0", "0");
  r.HardwareTrigger(0);
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
    r.form.Dispatch(Command::cmdCapture);
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
