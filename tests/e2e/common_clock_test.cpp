// The suite compares times written by three processes: the stand-in's key log, the simulator's
// record and the driver itself. That only means something if all three read the same counter;
// these checks bracket each foreign timestamp between two readings of the driver's own.

#include "E2ETest.h"

#include <mmsystem.h>

namespace focura::e2e {
namespace {

class CommonClock : public E2ETest {};

TEST_F(CommonClock, StandInAndSimulatorStampWithTheDriversTimeGetTime) {
  const std::string log = tool->PathOf("clock.keys.log");
  const DWORD beforeStart = timeGetTime();
  Process standIn =
      Process::Start(StandInCommandLine(TheConfig().standInExe, "Clock Target", log), tool->Dir());
  StandInLog standInLog(log);
  ASSERT_TRUE(standInLog.WaitStarted(kStartMs));
  const DWORD afterStart = timeGetTime();
  uint32_t started = 0;
  for (const auto& e : standInLog.Events()) {
    if (e.kind == TargetEventKind::Start)
      started = e.timeMs;
  }
  EXPECT_GE(Elapsed(beforeStart, started), 0);
  EXPECT_GE(Elapsed(started, afterStart), 0);
  standIn.Terminate();

  StartTool();
  tool->WaitRecord(3);
  const size_t before = tool->Record().size();
  const DWORD beforeCommand = timeGetTime();
  Execute("Z ?");
  const DWORD afterCommand = timeGetTime();
  const auto record = tool->Record();
  ASSERT_GT(record.size(), before);
  EXPECT_GE(Elapsed(beforeCommand, record[before].receivedMs), 0);
  EXPECT_GE(Elapsed(record[before].completedMs, afterCommand), 0);
}

}  // namespace
}  // namespace focura::e2e
