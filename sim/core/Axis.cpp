#include "core/Axis.h"

#include <cmath>

namespace zsim {

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
  return from_ + (to_ - from_) * (ElapsedMs(now) / durationMs_);
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
  durationMs_ = std::fabs(to_ - from_) / speed_ * 1000.0;
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
