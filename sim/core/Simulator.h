#pragma once
// The Z server simulator: executes the commands the tool sends, plus a few of its own prefixed
// "Sim", against a believable axis, joystick and trigger output. Not thread-safe: a host that
// calls it from several threads serialises the calls and may release its lock inside the clock's
// Sleep, so that a "Z Wait" does not hold others up.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/core/Axis.h"
#include "sim/core/CommandParser.h"
#include "sim/core/Recorder.h"
#include "sim/core/SimClock.h"
#include "text/NumberText.h"

namespace zsim {

struct SimLimits {
  double lo = -25000.0;
  double hi = 25000.0;
};

inline constexpr double kDefaultSpeed = 1000.0;  // um/s
inline constexpr const char* kProbeReply = "EZStepper simulator v1";

struct SimSnapshot {
  double position = 0.0;
  double target = 0.0;
  bool moving = false;
  double speed = kDefaultSpeed;
  SimLimits limits;
  bool joystick = false;
  bool trigger = false;
  std::vector<uint32_t> pulsesMs;
  std::vector<double> stored;
  bool visible = false;
  bool unloaded = false;
  std::vector<Entry> recent;
};

class Simulator {
 public:
  Simulator(SimClock& clock, focura::NumberText num);

  // One command in, one reply out; a refusal or an injected failure throws SimError. Every call
  // is recorded, failures included, except those refused unseen while busy (SimBusy).
  std::string Exec(const std::string& command);

  SimSnapshot Snapshot();
  // The operator closed or opened the simulator's window itself.
  void SetVisible(bool visible) { visible_ = visible; }
  const focura::NumberText& Numbers() const { return num_; }
  Recorder& Record() { return recorder_; }

 private:
  struct PendingFailure {
    int32_t countdown;
    std::string message;
  };

  std::string Run(const std::string& command);
  std::string RunStep(const Step& s);
  void StartMove(double target);
  void WaitForStop();
  void RequireJoystick() const;
  void Reset();
  std::string Z(double value) const { return num_.Format4(value); }

  SimClock& clock_;
  focura::NumberText num_;
  Recorder recorder_;
  Axis axis_;
  SimLimits limits_;
  bool joystick_ = false;
  bool trigger_ = false;
  uint32_t triggerOnMs_ = 0;
  std::vector<uint32_t> pulsesMs_;
  std::vector<double> stored_;
  bool visible_ = false;
  bool unloaded_ = false;
  std::vector<PendingFailure> failures_;
  uint32_t busyFromMs_ = 0;
  uint32_t busyMs_ = 0;
};

}  // namespace zsim
