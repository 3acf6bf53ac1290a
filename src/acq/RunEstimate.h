#pragma once
// How long a run will take, from the plan, the timings, the frame's own wait and the moves, and
// how long a running one still has: for the operator who leaves the rig meanwhile.

#include <cstdint>
#include <string>

#include "acq/RunProgress.h"

namespace focura {

struct AcqSettings;
class StackRun;

// Where the time of a move comes from.
enum class MoveSource { NotCounted, SimulatorSpeed, LastRun };

struct RunEstimate {
  int32_t planes = 0;
  double planeMs = 0;  // one plane: move, settle, frame, capture, or the period when longer
  double moveMs = 0;   // one move, 0 when not counted
  MoveSource moves = MoveSource::NotCounted;
  double speed = 0;  // um/s, for MoveSource::SimulatorSpeed
  // The start move, then every plane.
  double TotalMs() const { return moveMs + planes * planeMs; }
};

// The run of `settings`' plan with these timings (seconds, as the boxes hold them): the start
// move and each plane's move take the simulator's time where `run` drives it, otherwise the last
// run's measured time per move, and are not counted before any run.
RunEstimate EstimateRun(const AcqSettings& settings, const StackRun& run, double captureS,
                        double settleS, double periodS);

// "3.5 s", "12.4 min": a length as the operator reads it.
std::string LengthText(double ms);

// "Plane k of n, about m min left", m to the nearest whole minute, at least 1.
std::string PlanesLeftText(int32_t plane, int32_t planes, double msLeft);

// Passes a run's progress on and adds, at every plane, the text of PlanesLeftText to `inner`:
// the time left is the estimate before the first plane has ended, then what the planes so far
// took on average.
class TimedProgress final : public RunProgress {
 public:
  explicit TimedProgress(StackRun& run) : run_(run) {}
  void Forward(RunProgress& inner) { inner_ = &inner; }
  // The settings of the run about to start, its timings read.
  void For(const AcqSettings& settings) { settings_ = &settings; }

  void Started(int32_t planes) override;
  void AtPlane(int32_t plane, int32_t planes) override;
  void Finished() override { inner_->Finished(); }
  void Cancelled() override { inner_->Cancelled(); }
  void Failed() override { inner_->Failed(); }
  void TimeLeft(const std::string& text) override { inner_->TimeLeft(text); }
  void KeysAwaited(bool awaited) override { inner_->KeysAwaited(awaited); }

 private:
  StackRun& run_;
  const AcqSettings* settings_ = nullptr;
  NoRunProgress none_;
  RunProgress* inner_ = &none_;
  double planeMs_ = 0;
  uint32_t firstPlaneAt_ = 0;
};

}  // namespace focura
