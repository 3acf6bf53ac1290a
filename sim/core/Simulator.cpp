#include "sim/core/Simulator.h"

#include <algorithm>
#include <exception>

#include "sim/core/SimError.h"

namespace zsim {
namespace {

// Bounds that keep the longest move (across the widest limits at the lowest speed, 2e9 ms) within
// what the wrapping millisecond counter can time, and every position a finite number.
constexpr double kMinSpeed = 1.0;          // um/s
constexpr double kMaxSpeed = 1000000.0;    // um/s
constexpr double kLimitRange = 1000000.0;  // um either side of zero

const char* OnOff(bool on) {
  return on ? "on" : "off";
}

}  // namespace

Simulator::Simulator(SimClock& clock, focura::NumberText num)
    : clock_(clock), num_(std::move(num)), axis_(0.0, kDefaultSpeed) {}

std::string Simulator::Exec(const std::string& command) {
  if (busyMs_ > 0 && clock_.NowMs() - busyFromMs_ < busyMs_)
    throw SimBusy("The Z server is busy");
  Entry e;
  e.seq = recorder_.NextSeq();
  e.receivedMs = clock_.NowMs();
  e.command = command;
  try {
    e.reply = Run(command);
  } catch (const std::exception& err) {
    e.ok = false;
    e.reply = err.what();
  }
  e.completedMs = clock_.NowMs();
  const bool ok = e.ok;
  std::string text = e.reply;
  recorder_.Add(std::move(e));
  if (!ok)
    throw SimError(text);
  return text;
}

std::string Simulator::Run(const std::string& command) {
  axis_.Settle(clock_.NowMs());

  // An injected failure replaces the command entirely: nothing of it runs.
  const PendingFailure* fired = nullptr;
  for (auto& f : failures_) {
    if (--f.countdown == 0 && !fired)
      fired = &f;
  }
  if (fired) {
    const std::string message = fired->message;
    std::erase_if(failures_, [](const PendingFailure& f) { return f.countdown <= 0; });
    throw SimError(message);
  }

  const ParsedCommand parsed = ParseCommand(command, num_);
  if (!parsed.understood)
    return "Unknown command: " + parsed.notUnderstood;
  if (parsed.steps.empty())
    return "Empty command";

  std::string reply;
  for (const Step& s : parsed.steps) {
    const std::string r = RunStep(s);
    reply += reply.empty() ? r : " ; " + r;
  }
  return reply;
}

void Simulator::StartMove(double target) {
  if (target < limits_.lo || target > limits_.hi) {
    throw SimError("Z " + Z(target) + " is outside the soft limits " + Z(limits_.lo) + " to " +
                   Z(limits_.hi) + " um");
  }
  axis_.MoveTo(target, clock_.NowMs());
}

void Simulator::WaitForStop() {
  for (;;) {
    const uint32_t left = axis_.RemainingMs(clock_.NowMs());
    if (left == 0)
      return;
    clock_.Sleep(left);
  }
}

void Simulator::RequireJoystick() const {
  if (!joystick_)
    throw SimError("The joystick is off (send \"Joy On\")");
}

void Simulator::Reset() {
  axis_ = Axis(0.0, kDefaultSpeed);
  limits_ = SimLimits{};
  joystick_ = false;
  trigger_ = false;
  pulsesMs_.clear();
  stored_.clear();
  unloaded_ = false;
  failures_.clear();
  busyMs_ = 0;
}

std::string Simulator::RunStep(const Step& s) {
  const uint32_t now = clock_.NowMs();
  switch (s.op) {
    case Op::Show:
      visible_ = true;
      return "OK";
    case Op::Hide:
      visible_ = false;
      return "OK";
    case Op::JoyOn:
      joystick_ = true;
      return "OK";
    case Op::JoyOff:
      joystick_ = false;
      return "OK";
    case Op::Unload:
      unloaded_ = true;
      visible_ = false;
      return "OK";
    case Op::Where:
      return Z(axis_.Position(now)) + " um";
    case Op::MoveTo:
      StartMove(s.a);
      return "OK";
    case Op::MoveBy:
      // Relative to where the axis is heading, so that steps sent during a move add up.
      StartMove(axis_.Target() + s.a);
      return "OK";
    case Op::Wait:
      WaitForStop();
      return "OK";
    case Op::ObjCount:
      return std::to_string(stored_.size()) + " positions";
    case Op::ObjGet: {
      // Stored positions are numbered from 1, so the last two of n are n - 1 and n.
      const bool held = s.index >= 1 && static_cast<size_t>(s.index) <= stored_.size();
      return "Obj " + std::to_string(s.index) + " " +
             (held ? Z(stored_[static_cast<size_t>(s.index) - 1]) : std::string("none"));
    }
    case Op::Probe:
      return kProbeReply;
    case Op::TriggerOn:
      if (!trigger_) {
        trigger_ = true;
        triggerOnMs_ = now;
      }
      return "OK";
    case Op::TriggerOff:
      if (trigger_) {
        trigger_ = false;
        pulsesMs_.push_back(static_cast<uint32_t>(now - triggerOnMs_));
      }
      return "OK";
    case Op::SimJog: {
      RequireJoystick();
      // The joystick stops at a soft limit rather than being refused.
      const double target = std::clamp(axis_.Target() + s.a, limits_.lo, limits_.hi);
      axis_.MoveTo(target, now);
      return "OK";
    }
    case Op::SimStore:
      RequireJoystick();
      stored_.push_back(axis_.Position(now));
      return "Obj " + std::to_string(stored_.size()) + " " + Z(stored_.back());
    case Op::SimSpeed:
      if (!(s.a >= kMinSpeed && s.a <= kMaxSpeed))
        throw SimError("The speed must be from 1 to 1000000 um/s");
      axis_.SetSpeed(s.a, now);
      return "OK";
    case Op::SimLimits:
      if (!(s.a < s.b))
        throw SimError("The lower limit must be below the upper limit");
      if (!(s.a >= -kLimitRange && s.b <= kLimitRange))
        throw SimError("The soft limits must lie within -1000000 to 1000000 um");
      limits_ = SimLimits{s.a, s.b};
      return "OK";
    case Op::SimFail:
      failures_.push_back({s.index, s.text.empty() ? "Injected failure" : s.text});
      return "OK";
    case Op::SimBusy:
      busyFromMs_ = now;
      busyMs_ = static_cast<uint32_t>(s.index);
      return "OK";
    case Op::SimPulses: {
      std::string r = std::to_string(pulsesMs_.size()) + " pulses";
      for (uint32_t ms : pulsesMs_)
        r += " " + std::to_string(ms);
      return r;
    }
    case Op::SimReset:
      Reset();
      return "OK";
    case Op::SimState:
      return "Z " + Z(axis_.Position(now)) + (axis_.Moving(now) ? " moving" : " idle") +
             " target " + Z(axis_.Target()) + " speed " + Z(axis_.Speed()) + " limits " +
             Z(limits_.lo) + " " + Z(limits_.hi) + " joy " + OnOff(joystick_) + " trigger " +
             OnOff(trigger_) + " stored " + std::to_string(stored_.size()) + " pulses " +
             std::to_string(pulsesMs_.size()) + " window " + (visible_ ? "shown" : "hidden");
  }
  return "Unknown command";
}

SimSnapshot Simulator::Snapshot() {
  const uint32_t now = clock_.NowMs();
  axis_.Settle(now);
  SimSnapshot s;
  s.position = axis_.Position(now);
  s.target = axis_.Target();
  s.moving = axis_.Moving(now);
  s.speed = axis_.Speed();
  s.limits = limits_;
  s.joystick = joystick_;
  s.trigger = trigger_;
  s.pulsesMs = pulsesMs_;
  s.stored = stored_;
  s.visible = visible_;
  s.unloaded = unloaded_;
  s.recent = recorder_.Recent();
  return s;
}

}  // namespace zsim
