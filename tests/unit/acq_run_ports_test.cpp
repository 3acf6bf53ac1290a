// What a run tells its progress and stay-awake ports, at every way it can end.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "acq_rig.h"
#include "text/Errors.h"
#include "zserver/ZServerErrors.h"

namespace focura {
namespace {

using testing::AcqRig;
using Strings = std::vector<std::string>;

// Top 80, bottom 100, step 10: three planes, no waits. Pump numbers: 1 before the plan is fixed,
// then one per plane after its settle, and one more at a period warning.
std::unique_ptr<AcqRig> ThreePlanes(const char* period = "0") {
  auto r = std::make_unique<AcqRig>();
  r->Plan(80, 100, 10, 3);
  r->Timings("0", "0", period);
  return r;
}

// What a three-plane run tells when it ends with `end` after reaching `reached` planes.
Strings Told(int reached, const std::string& end, const std::string& hold = "hold") {
  Strings s{hold, "start 3"};
  for (int k = 1; k <= reached; ++k)
    s.push_back("plane " + std::to_string(k) + "/3");
  s.insert(s.end(), {end, "release"});
  return s;
}

TEST(RunPorts, AFinishedRunIsHeldAwakeAroundEveryCommandAndPumpOfIt) {
  auto r = ThreePlanes();
  r->set.Frame.CaptureType = kCaptureHardware;  // a pulse needs no display
  r->set.Frame.CaptureTaskId = 1;
  std::vector<bool> held;
  r->z.onExec = [&](const std::string&) -> std::optional<std::string> {
    held.push_back(r->ports.held);
    return std::nullopt;
  };
  r->w.onPump = [&](int) { held.push_back(r->ports.held); };
  EXPECT_EQ(r->Acquire(), 1);
  EXPECT_EQ(r->ports.calls, Told(3, "finished"));
  // Only the pump before the plan is fixed belongs to no run yet.
  EXPECT_EQ(std::count(held.begin(), held.end(), false), 1);
  EXPECT_FALSE(held.front());
}

TEST(RunPorts, ACancelEndsAtThePlaneThatTookItOrIsNoCancelAtAll) {
  struct Case {
    const char* period;
    int pump;
    Strings told;
  };
  for (const Case& c : {Case{"0", 1, Told(3, "finished")},  // before the run: erased at its start
                        Case{"0", 3, Told(2, "cancelled")}, Case{"0", 4, Told(3, "cancelled")},
                        Case{"0.0001", 3, Told(2, "cancelled")},  // plane 1's period warning
                        Case{"0.0001", 7, Told(3, "finished")}}) {
    auto r = ThreePlanes(c.period);
    r->w.onPump = [&r, &c](int n) {
      if (n == c.pump)
        r->run.RequestCancel();
    };
    r->Acquire();
    EXPECT_EQ(r->ports.calls, c.told) << c.period << " at pump " << c.pump;
  }
}

TEST(RunPorts, AFailureAtTheStartMoveMidRunOrOfAnyOtherKindEndsAsFailed) {
  auto start = ThreePlanes();
  start->z.failures["Z 110.0000 ; Z Wait ;"] = "not homed";
  EXPECT_EQ(start->Acquire(), -1);
  EXPECT_EQ(start->ports.calls, Told(0, "failed"));

  auto mid = ThreePlanes();
  int queries = 0;
  mid->z.onExec = [&](const std::string& cmd) -> std::optional<std::string> {
    if (cmd == "Z ?" && ++queries == 2)
      throw ZServerError(cmd, "motor fault");
    return std::nullopt;
  };
  EXPECT_EQ(mid->Acquire(), -1);
  EXPECT_EQ(mid->ports.calls, Told(1, "failed"));

  // Keys to a capture program keep the display on; what else stops the run travels on.
  auto other = ThreePlanes();
  other->set.Frame.CaptureType = 1;
  other->set.Frame.CaptureTaskId = 4242;
  other->desk.onActivate = [](int32_t) { throw std::runtime_error("out of resources"); };
  EXPECT_THROW(other->Acquire(), std::runtime_error);
  EXPECT_EQ(other->ports.calls, Told(1, "failed", "hold display"));
}

TEST(RunPorts, AWindowClosedMidRunTellsNothingMoreButReleases) {
  for (int pump : {1, 3}) {
    auto r = ThreePlanes();
    Strings atClose;
    r->w.onPump = [&](int n) {
      if (n != pump)
        return;
      atClose = r->ports.calls;
      throw WindowClosed();
    };
    EXPECT_THROW(r->Acquire(), WindowClosed);
    if (pump == 1) {
      EXPECT_TRUE(r->ports.calls.empty());  // no run yet
    } else {
      EXPECT_EQ(atClose, (Strings{"hold", "start 3", "plane 1/3", "plane 2/3"}));
      EXPECT_EQ(r->ports.calls, (Strings{"hold", "start 3", "plane 1/3", "plane 2/3", "release"}));
    }
  }
}

TEST(RunPorts, RefusedRunsAndASecondStartLeaveBothUntouched) {
  auto r = ThreePlanes();
  for (int32_t planes : {40000, 0}) {
    r->set.NumPlanes = planes;
    EXPECT_EQ(r->Acquire(), -1);
  }
  EXPECT_TRUE(r->ports.calls.empty());

  for (int pump : {1, 2, 4}) {
    auto x = ThreePlanes();
    x->w.onPump = [&](int n) {
      if (n != pump)
        return;
      const Strings before = x->ports.calls;
      EXPECT_EQ(x->Acquire(), 0);
      EXPECT_EQ(x->ports.calls, before) << pump;
    };
    EXPECT_EQ(x->Acquire(), 1);
    EXPECT_EQ(x->ports.calls, Told(3, "finished")) << pump;
  }
}

}  // namespace
}  // namespace focura
