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
    std::string status = "before";  // the status line, untouched by a pulse within its bound
  };
  const std::string kOn = "Z server command \"CON /2J1R\" failed: ";
  const std::string kOff = "Z server command \"CON /2J0R\" failed: ";
  const Case cases[] = {
      {"a plain pulse", 0, "", "", 2, ""},
      {"off late by the retry interval", 97, "", "", 2, ""},
      {"off later still", 98, "", "", 2, "", "Trigger output on for 601 ms (hold time 500 ms)"},
      {"on refused: off all the same", 0, "refused", "", 2, kOn + "refused"},
      {"on and off refused", 0, "refused", "refused", 2, kOn + "refused" + kMayStillBeOn},
      {"on lost with the server", 0, "lost", "unsent", 2, kOn + "lost" + kMayStillBeOn},
      {"on never sent", 0, "unsent", "", 1, kOn + "unsent"},
      {"off refused", 0, "", "refused", 2, kOff + "refused" + kMayStillBeOn},
  };
  for (const Case& c : cases) {
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
    // The flag the unload reads and the text the operator reads agree.
    EXPECT_EQ(r.acq.Trigger.mayBeOn, c.failure.ends_with(kMayStillBeOn)) << c.what;
    EXPECT_EQ(r.w.Status(), c.status) << c.what;
    EXPECT_EQ(r.acq.Trigger.longPulses, c.status == "before" ? 0 : 1) << c.what;
  }
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
