#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "acq_rig.h"
#include "capture/FrameTrigger.h"
#include "capture/KeyNotation.h"
#include "capture/PlatformError.h"
#include "ui/WindowRunView.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;
using testing::AcqRig;

// Remembers the counter at every activation and every key send.
class TimedDesktop : public fakes::FakeDesktop {
 public:
  explicit TimedDesktop(fakes::FakeClock& clock) : clock_(clock) {
    onActivate = [this](int32_t) { activatedAt.push_back(clock_.now); };
  }
  void SendKeys(const KeyStrokes& keys, KeyWaitWatcher& watcher) override {
    sentAt.push_back(clock_.now);
    FakeDesktop::SendKeys(keys, watcher);
  }
  using Desktop::SendKeys;
  std::vector<uint32_t> activatedAt, sentAt;

 private:
  fakes::FakeClock& clock_;
};

struct TriggerTest : ::testing::Test {
  fakes::FakeZServer z;
  fakes::FakeWindow w;
  fakes::FakeClock clock;
  TimedDesktop desk{clock};
  NumberText num;
  WindowRunView view{w};
  ZAcq acq{z, view, clock, desk, num};
  AcqSettings& set = acq.Settings;
  StackRun& run = acq.Run;

  void SetUp() override { acq.LoadDefaults(); }
  void Program(int16_t type) {
    set.Frame.CaptureType = type;
    set.Frame.CaptureTaskId = 4242;
  }
};

const KeyStrokes kSpace{KeyStroke::Char(U' ')};
const KeyStrokes kEnter{KeyStroke::Named(NamedKey::Enter)};
const KeyStrokes kF8{KeyStroke::Named(NamedKey::F8)};

TEST_F(TriggerTest, NothingLaunchedDoesNothing) {
  for (int type : {1, 3, 5, int{kCaptureHardware}}) {
    set.Frame.CaptureType = static_cast<int16_t>(type);
    set.Frame.CaptureTaskId = 0;
    acq.CaptureFrame();
  }
  EXPECT_TRUE(z.commands.empty());
  EXPECT_TRUE(desk.events.empty());
  EXPECT_EQ(clock.reads, 0);
}

TEST_F(TriggerTest, HardwareTriggerHoldsTheOutputOnLongerThanTheHoldTime) {
  set.Frame.CaptureType = kCaptureHardware;
  set.Frame.CaptureTaskId = 1;
  std::vector<uint32_t> at;
  z.onExec = [&](const std::string&) -> std::optional<std::string> {
    at.push_back(clock.now);
    return std::nullopt;
  };
  acq.CaptureFrame();
  EXPECT_EQ(z.commands, (Strings{"CON /2J1R", "CON /2J0R"}));
  ASSERT_EQ(at.size(), 2u);
  EXPECT_GT(at[1] - at[0], 500u);
  EXPECT_LT(at[1] - at[0], 505u);
  EXPECT_TRUE(desk.events.empty());
  // After a program was launched, choosing the hardware trigger still pulses the output.
  set.Frame.CaptureTaskId = 4242;
  acq.CaptureFrame();
  EXPECT_EQ(z.commands.size(), 4u);
  EXPECT_TRUE(desk.events.empty());
}

TEST_F(TriggerTest, EachMethodSendsItsKeyToTheActivatedProgram) {
  struct Case {
    int16_t type;
    int32_t fuji;
    const char* custom;
    KeyStrokes keys;
  };
  const KeyStrokes ctrlS{KeyStroke::Char(U's', kModCtrl)};
  for (const Case& c :
       {Case{1, 1, "", kSpace}, Case{2, 1, "", kSpace}, Case{3, 2, "", kF8}, Case{4, 1, "", kSpace},
        Case{4, 2, "", kEnter}, Case{5, 2, "^s", ctrlS}, Case{5, 1, " ", kSpace}}) {
    desk.events.clear();
    desk.sent.clear();
    desk.sentTo.clear();
    desk.foreground = 0;
    Program(c.type);
    set.Frame.FujiKey = c.fuji;
    set.Frame.CaptureKey = c.custom;
    acq.CaptureFrame();
    EXPECT_EQ(desk.events, (Strings{"activate 4242", "keys " + std::to_string(c.keys.size())}))
        << c.type;
    ASSERT_EQ(desk.sent.size(), 1u) << c.type;
    EXPECT_EQ(desk.sent[0], c.keys) << c.type;
    EXPECT_EQ(desk.sentTo[0], 4242) << c.type;
  }
  EXPECT_TRUE(z.commands.empty());
}

TEST_F(TriggerTest, MethodsWithoutAKeyOnlyActivateAndWait) {
  struct Case {
    int16_t type;
    int32_t fuji;
    const char* custom;
  };
  for (Case c :
       {Case{4, 0, "x"}, Case{4, 3, "x"}, Case{5, 1, ""}, Case{0, 1, "x"}, Case{7, 1, "x"}}) {
    desk.events.clear();
    Program(c.type);
    set.Frame.FujiKey = c.fuji;
    set.Frame.CaptureKey = c.custom;
    const long before = clock.reads;
    acq.CaptureFrame();
    EXPECT_EQ(desk.events, Strings{"activate 4242"}) << c.type << "/" << c.fuji;
    EXPECT_GT(clock.reads - before, 200) << c.type;  // the key delay was still waited
  }
  EXPECT_TRUE(desk.sent.empty());
}

TEST_F(TriggerTest, TheKeyFollowsTheActivationByMoreThanTheKeyDelay) {
  Program(3);
  for (int32_t delay : {200, 0, -5}) {
    desk.activatedAt.clear();
    desk.sentAt.clear();
    set.Frame.KeyDelayMs = delay;
    acq.CaptureFrame();
    ASSERT_EQ(desk.sentAt.size(), 1u);
    const uint32_t gap = desk.sentAt[0] - desk.activatedAt[0];
    EXPECT_GT(static_cast<int64_t>(gap), std::max<int64_t>(delay, 0)) << delay;
    EXPECT_LT(gap, static_cast<uint32_t>(std::max(delay, 0) + 5)) << delay;
  }
}

TEST_F(TriggerTest, FocusTakenDuringTheKeyDelayIsTakenBackOnce) {
  Program(1);
  int activations = 0;
  desk.onActivate = [&](int32_t) { desk.refuseFocus = (++activations == 1); };
  acq.CaptureFrame();
  EXPECT_EQ(desk.events, (Strings{"activate 4242", "activate 4242", "keys 1"}));
  EXPECT_EQ(desk.sentTo, std::vector<int32_t>{4242});
}

TEST_F(TriggerTest, AProgramThatTakesTheFrontStraightBackGetsNoKey) {
  Program(1);
  // The capture program comes to the front at each activation, and another program takes the
  // front back two milliseconds later.
  uint32_t stolenAt = 0;
  desk.onActivate = [&](int32_t) { stolenAt = clock.now + 2; };
  desk.onIsForeground = [&](int32_t task) {
    if (clock.now >= stolenAt)
      desk.foreground = 99;
    return desk.foreground == task;
  };
  for (int32_t delay : {200, 0}) {
    desk.events.clear();
    set.Frame.KeyDelayMs = delay;
    EXPECT_THROW(acq.CaptureFrame(), PlatformError) << delay;
    EXPECT_EQ(desk.events, (Strings{"activate 4242", "activate 4242"})) << delay;
    EXPECT_TRUE(desk.sent.empty()) << delay;
  }
}

TEST_F(TriggerTest, NoKeyIsTypedIntoAnotherProgram) {
  Program(5);
  set.Frame.CaptureKey = "{ENTER}";
  desk.refuseFocus = true;
  desk.foreground = 99;
  try {
    acq.CaptureFrame();
    FAIL() << "no failure";
  } catch (const PlatformError& e) {
    EXPECT_STREQ(e.what(), "The capture program (task 4242) is not in front; no key was sent");
  }
  EXPECT_EQ(desk.events, (Strings{"activate 4242", "activate 4242"}));
  EXPECT_TRUE(desk.sent.empty());
}

TEST_F(TriggerTest, ALockedDesktopIsNamedAsTheReasonNoKeyWent) {
  Program(1);
  const std::string locked = "The desktop is locked; the capture program (task 4242) got no key";
  const std::string denied = "The keys could not be sent: Access is denied.";
  const std::string ended = "The program in front ended before it took its keys";
  struct Case {
    const char* what;
    bool locked, refuseFocus;
    std::string keysNotSent, failKeys, failure;
  };
  const std::vector<Case> cases{
      {"nothing can come to the front", true, true, "", "", locked},
      {"the keys cannot go in", true, false, denied, "", locked},
      {"unlocked, the front kept by another", false, true, "", "",
       "The capture program (task 4242) is not in front; no key was sent"},
      {"unlocked, the keys cannot go in", false, false, denied, "", denied},
      // The program's own failure stays its own, locked or not.
      {"the program ended over its keys", true, false, "", ended, ended},
  };
  for (const Case& c : cases) {
    desk.locked = c.locked;
    desk.refuseFocus = c.refuseFocus;
    desk.foreground = 0;
    desk.keysNotSent = c.keysNotSent;
    desk.failKeys = c.failKeys;
    try {
      acq.CaptureFrame();
      ADD_FAILURE() << c.what << ": no failure";
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.what(), c.failure) << c.what;
    }
  }
}

TEST_F(TriggerTest, ALongWaitForTheKeyIsToldToTheRunsProgress) {
  fakes::FakeRunPorts ports;
  acq.ReportProgressTo(ports);
  Program(1);
  desk.onKeys = [](KeyWaitWatcher& watcher) {
    watcher.KeysAwaited(true);
    watcher.KeysAwaited(false);
  };
  acq.CaptureFrame();
  EXPECT_EQ(ports.calls, (Strings{"keys awaited", "keys taken"}));
}

TEST_F(TriggerTest, AModalDialogOfTheProgramGetsNoKeyAndIsWaitedForUpToTheBound) {
  fakes::FakeRunPorts ports;
  acq.ReportProgressTo(ports);
  Program(1);
  constexpr uint32_t kNever = 0xFFFFFFFF;
  struct Case {
    const char* what;
    uint32_t openMs;    // how long the dialog stays open, from the frame's start
    bool opensAtFront;  // it opens only as the front is checked before the key
    std::string failure;
    Strings told;
  };
  const Case cases[] = {
      {"no dialog", 0, false, "", {}},
      {"closed after 2 s", 2000, false, "", {}},
      {"closed after a minute", 60000, false, "", {"keys awaited", "keys taken"}},
      {"opens as the key is due, closed after 5 s", 5000, true, "", {"keys awaited", "keys taken"}},
      {"never closed",
       kNever,
       false,
       "The capture program (task 4242) shows the dialog \"Card full\" and took no key for 120 s; "
       "no key was sent",
       {"keys awaited", "keys taken"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ports.calls.clear();
    desk.sent.clear();
    const uint32_t start = clock.now;
    bool opened = !c.opensAtFront;
    desk.onIsForeground = [&](int32_t task) {
      opened = true;
      return desk.foreground == task && clock.now - start >= c.openMs;
    };
    desk.onDialog = [&](int32_t) -> std::optional<std::string> {
      if (opened && clock.now - start < c.openMs)
        return "Card full";
      return std::nullopt;
    };
    std::string failure;
    try {
      acq.CaptureFrame();
    } catch (const PlatformError& e) {
      failure = e.what();
    }
    EXPECT_EQ(failure, c.failure);
    EXPECT_EQ(desk.sent.size(), c.failure.empty() ? 1u : 0u);
    EXPECT_EQ(ports.calls, c.told);
  }
}

TEST_F(TriggerTest, AProgramStillBusyFromTheLastFrameIsWaitedForBeforeItsActivation) {
  fakes::FakeRunPorts ports;
  acq.ReportProgressTo(ports);
  Program(1);
  struct Case {
    uint32_t busyMs;  // not responding from the frame's start
    std::string failure;
    Strings told;
  };
  const Case cases[] = {
      {0, "", {}},
      {25000, "", {"keys awaited", "keys taken"}},
      {0xFFFFFFFF,
       "The capture program (task 4242) was not responding for 120 s; no key was sent",
       {"keys awaited", "keys taken"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.busyMs);
    ports.calls.clear();
    desk.events.clear();
    desk.sent.clear();
    const uint32_t start = clock.now;
    desk.onResponding = [&](int32_t) { return clock.now - start >= c.busyMs; };
    std::string failure;
    try {
      acq.CaptureFrame();
    } catch (const PlatformError& e) {
      failure = e.what();
    }
    EXPECT_EQ(failure, c.failure);
    // Nothing is activated before the program answers again.
    EXPECT_EQ(desk.events.empty(), !c.failure.empty());
    EXPECT_EQ(desk.sent.size(), c.failure.empty() ? 1u : 0u);
    EXPECT_EQ(ports.calls, c.told);
  }
}

TEST_F(TriggerTest, AProgramThatEndedOrShowsNoWindowGetsNoKeyAndTheFailureSaysWhich) {
  Program(1);
  for (auto [activation, message] :
       {std::pair{TaskActivation::Ended, "The capture program (task 4242) has ended"},
        std::pair{TaskActivation::NoWindow,
                  "The capture program (task 4242) shows no window; no key was sent"}}) {
    desk.activation = activation;
    desk.events.clear();
    try {
      acq.CaptureFrame();
      ADD_FAILURE() << "no failure";
    } catch (const PlatformError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    EXPECT_EQ(desk.events, Strings{"activate 4242"});
    EXPECT_TRUE(desk.sent.empty());
  }
}

TEST_F(TriggerTest, FailuresOfTheDesktopAndTheServerPropagate) {
  Program(1);
  desk.failActivate = true;
  EXPECT_THROW(acq.CaptureFrame(), PlatformError);
  EXPECT_TRUE(desk.sent.empty());
  set.Frame.CaptureType = kCaptureHardware;
  z.failures["CON /2J1R"] = "no controller";
  EXPECT_THROW(acq.CaptureFrame(), ZServerError);
  // A refused "on" may still have switched the output on: "off" follows all the same.
  EXPECT_EQ(z.commands, (Strings{"CON /2J1R", "CON /2J0R"}));
}

TEST_F(TriggerTest, AMalformedCustomKeyFailsBeforeTheProgramIsActivated) {
  Program(5);
  set.Frame.CaptureKey = "{F8";
  EXPECT_THROW(acq.CaptureFrame(), KeyNotationError);
  EXPECT_TRUE(desk.events.empty());
}

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
    size_t sent;          // "CON /2J1R" (unless 0) and then "CON /2J0R" sent[1] times
    std::string failure;  // the failure's text; empty: none
    std::string status = "before";  // the status line, untouched by a pulse within its bound
  };
  const std::string kOn = "Z server command \"CON /2J1R\" failed: ";
  const std::string kOff = "Z server command \"CON /2J0R\" failed: ";
  // A switch-off is tried three times before the output is said to be maybe on.
  const Case cases[] = {
      {"a plain pulse", 0, "", "", 2, ""},
      {"off late by the retry interval", 97, "", "", 2, ""},
      {"off later still", 98, "", "", 2, "", "Trigger output on for 601 ms (hold time 500 ms)"},
      {"on refused: off all the same", 0, "refused", "", 2, kOn + "refused"},
      {"on and off refused", 0, "refused", "refused", 4, kOn + "refused" + kMayStillBeOn},
      {"on lost with the server", 0, "lost", "unsent", 4, kOn + "lost" + kMayStillBeOn},
      {"on never sent", 0, "unsent", "", 1, kOn + "unsent"},
      {"off refused", 0, "", "refused", 4, kOff + "refused" + kMayStillBeOn},
      // Taken on a second try: the output is off, but the refusal still stops the run.
      {"off refused once, then taken", 0, "", "refused once", 3, kOff + "refused"},
  };
  for (const Case& c : cases) {
    AcqRig r;
    r.HardwareTrigger(500);
    r.w.SetText(kStatusLine, "before");
    r.z.onExec = [&](const std::string& command) -> std::optional<std::string> {
      const bool on = command == "CON /2J1R";
      if (!on)
        r.clock.now += c.offTakesMs;
      if (!on && c.off == "refused once")
        FailAs(r.z.commands.size() == 2 ? "refused" : "", command);
      else
        FailAs(on ? c.on : c.off, command);
      return std::nullopt;
    };
    std::string failure;
    try {
      r.acq.CaptureFrame();
    } catch (const ZServerError& e) {
      failure = e.what();
    }
    Strings pulse{"CON /2J1R"};
    pulse.resize(c.sent, "CON /2J0R");
    EXPECT_EQ(r.z.commands, pulse) << c.what;
    EXPECT_EQ(failure, c.failure) << c.what;
    // The flag the unload reads and the text the operator reads agree.
    EXPECT_EQ(r.run.Trigger.mayBeOn, c.failure.ends_with(kMayStillBeOn)) << c.what;
    EXPECT_EQ(r.w.Status(), c.status) << c.what;
    EXPECT_EQ(r.run.Trigger.longPulses, c.status == "before" ? 0 : 1) << c.what;
  }
}

}  // namespace
}  // namespace focura
