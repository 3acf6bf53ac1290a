#pragma once
// The motorised Z axis: a position that moves at constant speed toward a target. Time is the
// wrapping 32-bit millisecond counter; elapsed times are taken modulo 2^32.

#include <cstdint>

namespace zsim {

class Axis {
 public:
  explicit Axis(double position = 0.0, double speedUmPerS = 1000.0);

  double Position(uint32_t now) const;
  // Where the axis is heading (its position when it stands still).
  double Target() const { return to_; }
  bool Moving(uint32_t now) const;
  // Whole milliseconds until the move ends, rounded up; 0 when standing.
  uint32_t RemainingMs(uint32_t now) const;
  double Speed() const { return speed_; }

  // Starts a move from wherever the axis is at `now`.
  void MoveTo(double target, uint32_t now);
  // A move in progress continues from where it is at the new speed. Speed must be > 0.
  void SetSpeed(double umPerS, uint32_t now);
  // Forgets a finished move so that a later wrap of the counter cannot revive it.
  void Settle(uint32_t now);
  void Place(double position);

 private:
  double ElapsedMs(uint32_t now) const;

  double from_;
  double to_;
  double speed_;
  uint32_t startMs_ = 0;
  double durationMs_ = 0.0;
};

}  // namespace zsim
