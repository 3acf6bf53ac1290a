// Timing figures of a run with a period, taken from the simulator's record and the stand-in's key
// log (one clock for both, see common_clock_test.cpp). They are printed for the record with the
// prefix "TIMING:"; the test itself holds the run only to what survives the measurement's own
// jitter: the planes together last their periods, and each key follows its move's end by the
// settle and key delays.

#include "Desktop.h"
#include "E2ETest.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <regex>

namespace focura::e2e {
namespace {

struct Spread {
  int min = 0, median = 0, max = 0;
};

Spread SpreadOf(std::vector<int> v) {
  std::sort(v.begin(), v.end());
  if (v.empty())
    return {};
  return {v.front(), v[v.size() / 2], v.back()};
}

class TimingFigures : public E2ETest {
 protected:
  // To the test's output and to timing.txt in the test's folder, where scripts/test shows it.
  template <typename... Args>
  void Print(const char* format, Args... args) {
    char line[256];
    std::snprintf(line, sizeof line, format, args...);
    std::fputs(line, stdout);
    std::fflush(stdout);
    figures_ += line;
    WriteFileText(tool->PathOf("timing.txt"), figures_);
  }
  std::string figures_;
};

TEST_F(TimingFigures, EveryPlaneLastsThePeriodPrintedAgainstThePeriod) {
  constexpr int kPlanes = 10;
  constexpr int kPeriodMs = 300;
  StartTool();
  StandInLog keys = LaunchStandIn();
  tool->Menu("mnuDelayKey");
  tool->AnswerPrompt("Capture Key Delay", "50");
  SetTopAt(10);
  SetBottomAt(10.0 * kPlanes);
  SetPlanes(kPlanes, "10.00");
  SetTimings("0.05", "0.05", "0.3");
  const std::string plan = tool->Tip("cmdFocura");
  const size_t from = tool->Record().size();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(RunStack(), "Z-stack finished");
  const auto lengthMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
  ASSERT_TRUE(keys.WaitKeys(kPlanes, kStepMs));

  const auto record = tool->Record();
  std::vector<RecordedCommand> moves, queries;
  for (size_t i = from; i < record.size(); ++i) {
    if (record[i].command.rfind("Z Rel", 0) == 0)
      moves.push_back(record[i]);
    else if (record[i].command == "Z ?")
      queries.push_back(record[i]);
  }
  const auto down = keys.Keys();
  ASSERT_EQ(moves.size(), static_cast<size_t>(kPlanes));
  ASSERT_EQ(queries.size(), static_cast<size_t>(kPlanes));
  ASSERT_EQ(down.size(), static_cast<size_t>(kPlanes));

  std::vector<int> excess, moveToFrame, frameToMove;
  for (size_t k = 0; k + 1 < moves.size(); ++k) {
    const int interval = Elapsed(moves[k].receivedMs, moves[k + 1].receivedMs);
    excess.push_back(interval - kPeriodMs);
    frameToMove.push_back(Elapsed(down[k].timeMs, moves[k + 1].receivedMs));
  }
  for (size_t k = 0; k < moves.size(); ++k)
    moveToFrame.push_back(Elapsed(queries[k].completedMs, down[k].timeMs));

  const Spread e = SpreadOf(excess);
  const Spread mf = SpreadOf(moveToFrame);
  const Spread fm = SpreadOf(frameToMove);
  Print("TIMING: period %d ms, %d planes, settle 50 ms, key delay 50 ms, capture 50 ms\n",
        kPeriodMs, kPlanes);
  std::string row;
  for (int x : excess)
    row += " " + std::to_string(x + kPeriodMs);
  Print("TIMING: plane intervals (Z Rel to Z Rel, ms):%s\n", row.c_str());
  Print("TIMING: excess over the period: median %+d ms, worst %+d ms, least %+d ms\n", e.median,
        e.max, e.min);
  Print("TIMING: move end to frame key: median %d ms (min %d, max %d)\n", mf.median, mf.min,
        mf.max);
  Print("TIMING: frame key to next move: median %d ms (min %d, max %d)\n", fm.median, fm.min,
        fm.max);

  // Each receipt is stamped after a cross-process delivery whose delay varies by a few
  // milliseconds under load, which shifts one interval up and the next down by as much. Over the
  // whole run those shifts cancel but for the first and last receipts: the planes together last
  // their periods, to within that delivery jitter.
  const int span = Elapsed(moves.front().receivedMs, moves.back().receivedMs);
  Print("TIMING: %d intervals took %d ms together (%d ms of periods)\n", kPlanes - 1, span,
        (kPlanes - 1) * kPeriodMs);
  EXPECT_GE(span, (kPlanes - 1) * kPeriodMs - 20);
  // The key follows the move's end by the settle delay plus the key delay at least.
  EXPECT_GE(mf.min, 100);

  // The run's estimate in the tooltip of "Acquire Z Stack", before the run and after it (with
  // the moves it measured), against the run's length from the click to "Z-stack finished".
  const std::regex seconds(R"(^(\d+) planes, about (\d+\.\d) s \(([^)]*)\))");
  std::smatch before, after;
  const std::string planAfter = tool->Tip("cmdFocura");
  ASSERT_TRUE(std::regex_search(plan, before, seconds)) << plan;
  ASSERT_TRUE(std::regex_search(planAfter, after, seconds)) << planAfter;
  EXPECT_EQ(before[1].str(), std::to_string(kPlanes));
  EXPECT_EQ(before[3].str(), "moves not counted");
  const double estimateMs = std::stod(before[2].str()) * 1000;
  const double estimateAfterMs = std::stod(after[2].str()) * 1000;
  Print("TIMING: estimate %.0f ms before the run (%s), %.0f ms after it (%s); the run took %d ms\n",
        estimateMs, before[3].str().c_str(), estimateAfterMs, after[3].str().c_str(),
        static_cast<int>(lengthMs));
  EXPECT_NEAR(estimateMs, static_cast<double>(lengthMs), 0.1 * static_cast<double>(lengthMs));
  EXPECT_NEAR(estimateAfterMs, static_cast<double>(lengthMs), 0.1 * static_cast<double>(lengthMs));
}

}  // namespace
}  // namespace focura::e2e
