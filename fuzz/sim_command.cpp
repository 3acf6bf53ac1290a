// The simulator's command interpreter, one command per line (a first byte \x01 chooses the comma
// as decimal separator). After every command the axis is a finite number; a command that ends in
// "Z Wait" and succeeds leaves the axis still at its target, having waited once per wait.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "sim/core/CommandParser.h"
#include "sim/core/SimError.h"
#include "sim/core/Simulator.h"

namespace {

class FuzzClock : public zsim::SimClock {
 public:
  uint32_t NowMs() override { return now; }
  void Sleep(uint32_t ms) override {
    now += ms;
    ++sleeps;
  }
  uint32_t now = 0xFFFFF000u;  // the counter wraps early in every input
  size_t sleeps = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const bool comma = input.starts_with('\x01');
  if (comma)
    input.remove_prefix(1);
  FuzzClock clock;
  zsim::Simulator sim(clock, focura::NumberText(comma ? "," : "."));

  while (!input.empty()) {
    const size_t end = std::min(input.find('\n'), input.size());
    const std::string command(input.substr(0, end));
    input.remove_prefix(std::min(end + 1, input.size()));

    const zsim::ParsedCommand parsed = zsim::ParseCommand(command, sim.Numbers());
    size_t waits = 0;
    for (const zsim::Step& s : parsed.steps)
      waits += s.op == zsim::Op::Wait ? 1 : 0;
    clock.sleeps = 0;
    bool ok = true;
    try {
      sim.Exec(command);
    } catch (const zsim::SimError&) {
      ok = false;
    }
    const zsim::SimSnapshot s = sim.Snapshot();
    FUZZ_CHECK(std::isfinite(s.position) && std::isfinite(s.target));
    FUZZ_CHECK(s.limits.lo < s.limits.hi);
    FUZZ_CHECK(clock.sleeps <= waits);
    if (ok && !parsed.steps.empty() && parsed.steps.back().op == zsim::Op::Wait)
      FUZZ_CHECK(!s.moving && s.position == s.target);
    clock.now += 37;  // time passes between commands
  }
  return 0;
}
