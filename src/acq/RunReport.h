#pragma once

#include <cstdint>
#include <string>

#include "acq/RunProgress.h"
#include "capture/FrameTrigger.h"

namespace focura {

enum class RunEnd { Finished, Cancelled, Failed };

// Where the run tells what happens, each event once: lines of the status line (a refusal, the
// start move, a period too short), and the events that whoever shows the run from outside the
// window follows as well.
class RunReport : public FrameReport {
 public:
  // The plan was accepted and the axis is about to go to the start position.
  virtual void Started(int32_t planes) = 0;
  // The axis is at plane `plane` of `planes`, about to capture; `line` is the plane's status.
  virtual void AtPlane(int32_t plane, int32_t planes, const std::string& line) = 0;
  // The run has ended; `text` is its closing status, or "" when whoever stopped it reports why.
  virtual void Ended(RunEnd end, const std::string& text) = 0;
};

// Writes a run's report into the status line and passes its events on to the progress shown
// outside the window.
class StatusAndProgress final : public RunReport {
 public:
  StatusAndProgress(StatusReport& status, RunProgress& progress)
      : status_(status), progress_(progress) {}

  void Status(const std::string& text) override { status_.Status(text); }
  void StatusTip(const std::string& text) override { status_.StatusTip(text); }
  void KeysAwaited(bool awaited) override { progress_.KeysAwaited(awaited); }
  void Started(int32_t planes) override { progress_.Started(planes); }
  void AtPlane(int32_t plane, int32_t planes, const std::string& line) override;
  void Ended(RunEnd end, const std::string& text) override;

 private:
  StatusReport& status_;
  RunProgress& progress_;
};

}  // namespace focura
