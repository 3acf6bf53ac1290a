// What a run tells its progress and stay-awake ports, at every way it can end.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "acq_rig.h"
#include "text/Errors.h"

namespace focura {
namespace {

using testing::AcqRig;
using Strings = std::vector<std::string>;

const Strings kFinished{"hold",      "start 3",  "plane 1/3", "plane 2/3",
                        "plane 3/3", "finished", "release"};

// Top 80, bottom 100, step 10: three planes, no waits; `period` in seconds.
std::unique_ptr<AcqRig> ThreePlanes(const char* period = "0") {
  auto r = std::make_unique<AcqRig>();
  r->acq.ZTop = 80;
  r->acq.ZBottom = 100;
  r->acq.StepSize = 10;
  r->acq.NumPlanes = 3;
  r->w.texts = {{"txtDelay", "0"}, {"txtSettle", "0"}, {"txtPeriod", period}};
  return r;
}

// Pump numbers: 1 after validation, then per plane one after the settle (and one at the warning
// of a period too short).
void CancelAtPump(AcqRig& r, int pump) {
  r.w.onPump = [&r, pump](int n) {
    if (n == pump)
      r.acq.cmdCancelZ_Click();
  };
}

TEST(RunPorts, AFinishedRunIsHeldAwakeAroundEveryCommandAndPump) {
  auto r = ThreePlanes();
  std::vector<bool> heldAt;
  r->z.onExec = [&](const std::string&) -> std::optional<std::string> {
    heldAt.push_back(r->ports.held);
    return std::nullopt;
  };
  r->w.onPump = [&](int) { heldAt.push_back(r->ports.held); };
  EXPECT_EQ(r->acq.AcquireStack(), 1);
  EXPECT_EQ(r->ports.calls, kFinished);
  // The pump before the plan is fixed belongs to no run yet; everything after it does.
  EXPECT_EQ(heldAt,
            (std::vector<bool>{false, true, true, true, true, true, true, true, true, true, true}));
}

TEST(RunPorts, OnlyFramesThroughTheDesktopKeepTheDisplayOn) {
  struct Case {
    int16_t type;
    int32_t task;
    const char* hold;
  };
  for (Case c :
       {Case{3, 4242, "hold display"}, Case{1, 0, "hold"}, Case{kCaptureHardware, 1, "hold"}}) {
    auto r = ThreePlanes();
    r->acq.CaptureType = c.type;
    r->acq.CaptureTaskId = c.task;
    r->acq.KeyDelayMs = 0;
    r->acq.TriggerHoldMs = 0;
    EXPECT_EQ(r->acq.AcquireStack(), 1) << c.type;
    EXPECT_EQ(r->ports.calls.front(), c.hold) << c.type;
    EXPECT_EQ(r->ports.calls.back(), "release") << c.type;
  }
}

TEST(RunPorts, ACancelEndsAtThePlaneThatTookItOrIsNotACancelAtAll) {
  struct Case {
    const char* period;
    int pump;
    Strings calls;
  };
  const Strings atPlane2{"hold", "start 3", "plane 1/3", "plane 2/3", "cancelled", "release"};
  for (const Case& c : {
           Case{"0", 1, kFinished},  // before the run: erased at its start
           Case{"0", 3, atPlane2},   // after plane 2's settle
           Case{"0",
                4,
                {"hold", "start 3", "plane 1/3", "plane 2/3", "plane 3/3", "cancelled",
                 "release"}},             // after the last plane's settle
           Case{"0.0001", 3, atPlane2},   // at plane 1's period warning: taken at plane 2
           Case{"0.0001", 7, kFinished},  // at the last plane's warning: nothing left to stop
       }) {
    auto r = ThreePlanes(c.period);
    CancelAtPump(*r, c.pump);
    r->acq.AcquireStack();
    EXPECT_EQ(r->ports.calls, c.calls) << c.period << " at pump " << c.pump;
  }
}

TEST(RunPorts, AFailureAtTheStartMoveMidRunOrOutsideTheCoreErrorsEndsAsFailed) {
  auto start = ThreePlanes();
  start->z.failures["Z 110.0000 ; Z Wait ;"] = "not homed";
  EXPECT_EQ(start->acq.AcquireStack(), -1);
  EXPECT_EQ(start->ports.calls, (Strings{"hold", "start 3", "failed", "release"}));

  auto mid = ThreePlanes();
  mid->z.queued["Z ?"] = {"100"};
  mid->z.onExec = [&](const std::string& cmd) -> std::optional<std::string> {
    if (cmd == "Z ?" && mid->z.queued["Z ?"].empty())
      throw ZServerError(cmd, "motor fault");
    return std::nullopt;
  };
  EXPECT_EQ(mid->acq.AcquireStack(), -1);
  EXPECT_EQ(mid->ports.calls, (Strings{"hold", "start 3", "plane 1/3", "failed", "release"}));

  // Anything else travels on to the dispatch boundary, the run ended all the same.
  auto other = ThreePlanes();
  other->acq.CaptureType = 1;
  other->acq.CaptureTaskId = 4242;
  other->desk.onActivate = [](int32_t) { throw std::runtime_error("out of resources"); };
  EXPECT_THROW(other->acq.AcquireStack(), std::runtime_error);
  EXPECT_EQ(other->ports.calls,
            (Strings{"hold display", "start 3", "plane 1/3", "failed", "release"}));
}

TEST(RunPorts, AWindowClosedMidRunTellsNothingMoreButStillReleases) {
  for (int pump : {1, 3}) {
    auto r = ThreePlanes();
    Strings atClose;
    r->w.onPump = [&](int n) {
      if (n != pump)
        return;
      atClose = r->ports.calls;
      throw WindowClosed();
    };
    EXPECT_THROW(r->acq.AcquireStack(), WindowClosed);
    if (pump == 1) {
      EXPECT_TRUE(r->ports.calls.empty());  // closed before the plan was fixed: no run
    } else {
      EXPECT_EQ(atClose, (Strings{"hold", "start 3", "plane 1/3", "plane 2/3"}));
      atClose.push_back("release");
      EXPECT_EQ(r->ports.calls, atClose);
    }
  }
}

TEST(RunPorts, RefusedRunsAndASecondStartLeaveBothUntouched) {
  auto r = ThreePlanes();
  r->acq.NumPlanes = 40000;
  EXPECT_EQ(r->acq.AcquireStack(), -1);
  r->acq.NumPlanes = 0;
  EXPECT_EQ(r->acq.AcquireStack(), -1);
  EXPECT_TRUE(r->ports.calls.empty());

  for (int pump : {1, 2, 4}) {
    auto x = ThreePlanes();
    Strings before;
    x->w.onPump = [&](int n) {
      if (n != pump)
        return;
      before = x->ports.calls;
      EXPECT_EQ(x->acq.AcquireStack(), 0);
      EXPECT_EQ(x->ports.calls, before) << pump;
      EXPECT_EQ(x->ports.held, pump != 1) << pump;
    };
    EXPECT_EQ(x->acq.AcquireStack(), 1);
    EXPECT_EQ(x->ports.calls, kFinished) << pump;
  }
}

}  // namespace
}  // namespace focura
