#include "sim/core/Axis.h"

#include <cmath>

namespace zsim {
namespace {

// Elapsed time is read from the wrapping 32-bit counter, so a move may last at most half its
// range; the simulator's bounds on speed and limits keep every real move far below it.
constexpr double kMaxMoveMs = 2147483647.0;

}  // namespace

Axis::Axis(double position, double speedUmPerS)
    : from_(position), to_(position), speed_(speedUmPerS) {}

double Axis::ElapsedMs(uint32_t now) const {
  return static_cast<double>(static_cast<uint32_t>(now - startMs_));
}

bool Axis::Moving(uint32_t now) const {
  return durationMs_ > 0.0 && ElapsedMs(now) < durationMs_;
}

double Axis::Position(uint32_t now) const {
  if (!Moving(now))
    return to_;
  const double done = ElapsedMs(now) / durationMs_;
  const double span = to_ - from_;
  if (std::isfinite(span))
    return from_ + span * done;
  return from_ * (1.0 - done) + to_ * done;  // ends so far apart that their distance overflows
}

uint32_t Axis::RemainingMs(uint32_t now) const {
  if (!Moving(now))
    return 0;
  return static_cast<uint32_t>(std::ceil(durationMs_ - ElapsedMs(now)));
}

void Axis::MoveTo(double target, uint32_t now) {
  from_ = Position(now);
  to_ = target;
  startMs_ = now;
  const double ms = std::fabs(to_ - from_) / speed_ * 1000.0;
  durationMs_ = ms <= kMaxMoveMs ? ms : kMaxMoveMs;  // also an infinite or undefined one
}

void Axis::SetSpeed(double umPerS, uint32_t now) {
  speed_ = umPerS;
  if (Moving(now))
    MoveTo(to_, now);
}

void Axis::Settle(uint32_t now) {
  if (!Moving(now)) {
    from_ = to_;
    durationMs_ = 0.0;
  }
}

void Axis::Place(double position) {
  from_ = to_ = position;
  durationMs_ = 0.0;
}

}  // namespace zsim
