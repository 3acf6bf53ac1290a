// The hardware trigger: the launch probes the controller through the Z server, and every plane
// pulses its trigger output, held on longer than the hold time by the simulator's own clock.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class HardwareTrigger : public E2ETest {};

TEST_F(HardwareTrigger, ProbeOnLaunchThenOnePulsePerPlaneHeldLongerThan500Ms) {
  StartTool();
  tool->WaitRecord(3);
  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  EXPECT_TRUE(tool->Checked("mnuHWT"));
  EXPECT_FALSE(tool->Enabled("cmdFocura"));

  size_t from = tool->Record().size();
  tool->Click("cmdLaunchCapture");
  EXPECT_EQ(tool->WaitStatusIs("EZStepper simulator v1"), "EZStepper simulator v1");
  EXPECT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));
  EXPECT_TRUE(tool->Enabled("cmdCapture"));
  EXPECT_EQ(CommandsFrom(from), (Strings{"CON /2&"}));

  SetTopAt(10);
  SetBottomAt(30);
  SetPlanes(3, "10.00");
  SetTimings("0.1", "0.1", "0.0");
  from = tool->Record().size();
  EXPECT_EQ(RunStack(), "Z-stack finished");

  Strings expected{"Z 40.0000 ; Z Wait ;"};
  for (int k = 0; k < 3; ++k) {
    for (const char* c : {"Z Rel -10.0000 ; Z Wait ;", "Z ?", "CON /2J1R", "CON /2J0R"})
      expected.push_back(c);
  }
  EXPECT_EQ(CommandsFrom(from), expected);
  const auto record = tool->Record();
  int pulses = 0;
  for (size_t i = from; i + 1 < record.size(); ++i) {
    if (record[i].command == "CON /2J1R" && record[i + 1].command == "CON /2J0R") {
      ++pulses;
      EXPECT_GT(Elapsed(record[i].completedMs, record[i + 1].receivedMs), 500)
          << "pulse " << pulses;
    }
  }
  EXPECT_EQ(pulses, 3);
  // The simulator measured the same pulses on its trigger output.
  const std::string measured = Execute("Sim Pulses");
  EXPECT_EQ(measured.rfind("3 pulses ", 0), 0u) << measured;
}

}  // namespace
}  // namespace focura::e2e
