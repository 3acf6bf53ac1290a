// Planning a stack from the window: the ends from the axis (moved from the tool's own command
// line) or from the joystick's stored positions, and the count or the step with the other derived.

#include "E2ETest.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class Plan : public E2ETest {};

TEST_F(Plan, EndsFromTheAxisThenCountOrStepWithTheOtherDerived) {
  StartTool();
  const size_t start = tool->WaitRecord(3).size();

  SetTopAt(10);
  EXPECT_EQ(tool->Status(), "ZTop= 10.00, ZBottom= 77777.00, ZHeight= 77767.00");
  SetBottomAt(110);
  EXPECT_EQ(tool->Status(), "ZTop= 10.00, ZBottom= 110.00, ZHeight= 100.00");

  SetPlanes(5, "25.00");
  EXPECT_EQ(tool->Status(), "ZTop= 10.00, ZBottom= 110.00, ZHeight= 100.00");

  // 100 / 30 + 1 = 4.33 and 100 / 40 + 1 = 3.5 both give 4 planes (half to even).
  for (const char* step : {"30", "40"}) {
    SCOPED_TRACE(step);
    tool->Type("txtNumPlanes", "");
    tool->Type("txtStepSize", step);
    tool->Click("cmdSetStepSize");
    EXPECT_TRUE(WaitUntil([&] { return tool->Text("txtNumPlanes") == "4"; }, kStepMs));
    EXPECT_EQ(tool->Text("txtStepSize"), std::string(step) + ".00");
  }

  // A count that is not a number is refused and changes nothing.
  tool->Type("txtNumPlanes", "five");
  tool->Click("cmdSetNum");
  EXPECT_EQ(tool->WaitStatusIs("Error"), "Error");
  EXPECT_EQ(tool->Text("txtStepSize"), "40.00");

  // Only the two ends asked the Z server anything: "Z ?" once each.
  EXPECT_EQ(CommandsFrom(start),
            (Strings{"Z 10.0000 ; Z Wait ;", "Z ?", "Z 110.0000 ; Z Wait ;", "Z ?"}));
}

TEST_F(Plan, JoystickTopAndBottomFromTheLastTwoStoredPositions) {
  StartTool();
  tool->WaitRecord(3);
  // Three positions stored with the simulator's joystick; the larger of the last two comes first,
  // so the tool must put them in order.
  EXPECT_EQ(Execute("Sim Jog 30 ; Z Wait ;"), "OK ; OK");
  EXPECT_EQ(Execute("Sim Store"), "Obj 1 30.0000");
  EXPECT_EQ(Execute("Sim Jog 90 ; Z Wait ;"), "OK ; OK");
  EXPECT_EQ(Execute("Sim Store"), "Obj 2 120.0000");
  EXPECT_EQ(Execute("Sim Jog -80 ; Z Wait ;"), "OK ; OK");
  EXPECT_EQ(Execute("Sim Store"), "Obj 3 40.0000");
  const size_t before = tool->Record().size();

  tool->Click("cmdGetTopBot");
  EXPECT_EQ(tool->WaitStatusIs("ZTop= 40.00, ZBottom= 120.00, ZHeight= 80.00"),
            "ZTop= 40.00, ZBottom= 120.00, ZHeight= 80.00");
  EXPECT_EQ(tool->Text("lblTop"), "40.00");
  EXPECT_EQ(tool->Text("lblBot"), "120.00");
  EXPECT_EQ(CommandsFrom(before), (Strings{"Obj GetNum", "Obj Get 2", "Obj Get 3"}));
}

}  // namespace
}  // namespace focura::e2e
