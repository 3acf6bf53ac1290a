#pragma once

#include <cstdint>
#include <string>

#include "capture/Desktop.h"

namespace focura {

// How far a run is, for whoever shows it outside the window (the window is covered by the capture
// program for most of a run). The run tells it at the points where it writes its status line; a
// refused run tells it nothing, and nothing is told once the window is closed. Implementations
// must not throw: what they show is a courtesy, never a reason to stop a run.
class RunProgress : public KeyWaitWatcher {
 public:
  virtual ~RunProgress() = default;
  // The plan was accepted and the axis is about to go to the start position.
  virtual void Started(int32_t planes) = 0;
  // The axis is at plane `plane` of `planes` (the status line shows "#plane"), about to capture.
  virtual void AtPlane(int32_t plane, int32_t planes) = 0;
  // Right after AtPlane: how long the run still has, as the operator reads it.
  virtual void TimeLeft(const std::string& text) = 0;
  virtual void Finished() = 0;
  virtual void Cancelled() = 0;
  virtual void Failed() = 0;
  // KeysAwaited: the run stands at its plane because the capture program has not yet taken its
  // key (true), or goes on again (false).
};

// For a tool nobody watches from outside: tells nobody.
class NoRunProgress final : public RunProgress {
 public:
  void Started(int32_t) override {}
  void AtPlane(int32_t, int32_t) override {}
  void TimeLeft(const std::string&) override {}
  void Finished() override {}
  void Cancelled() override {}
  void Failed() override {}
  void KeysAwaited(bool) override {}
};

}  // namespace focura
