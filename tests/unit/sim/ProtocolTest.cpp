// The replies the tool relies on, read the way the tool reads them: commands built by the tool's
// own command builders, replies cut by its own reply splitter.
#include <gtest/gtest.h>

#include "sim/SimFakes.h"
#include "sim/core/SimError.h"
#include "sim/core/Simulator.h"
#include "text/Errors.h"
#include "text/NumberText.h"
#include "zserver/Commands.h"
#include "zserver/SplitReply.h"

namespace zsim {
namespace {

using focura::NumberText;
using focura::ReplyToken;
namespace zcmd = focura::zcmd;

struct Sim {
  explicit Sim(const std::string& sep = ".") : num(sep), sim(clock, num) {}
  testing::StepClock clock;
  NumberText num;
  Simulator sim;
};

TEST(SimProtocol, PositionQueryAnswersANumberFirstInTheRegionalSeparator) {
  for (const std::string sep : {".", ","}) {
    Sim s(sep);
    s.sim.Exec(zcmd::MoveTo(102.5, s.num));
    const std::string reply = s.sim.Exec(zcmd::kWhere);
    EXPECT_EQ(reply, "102" + sep + "5000 um");
    EXPECT_DOUBLE_EQ(s.num.ToDouble(ReplyToken(reply, 1)), 102.5);
  }
}

TEST(SimProtocol, UnderstandsEveryCommandTheToolSends) {
  Sim s(",");
  for (const std::string& c :
       {zcmd::kShow, zcmd::kJoyOn, zcmd::kHide, zcmd::kTriggerOn, zcmd::kTriggerOff,
        zcmd::MoveTo(-12.25, s.num), zcmd::MoveBy(-2.5, s.num), zcmd::kObjGetNum, zcmd::ObjGet(-1),
        zcmd::ObjGet(0), zcmd::ObjGet(4), zcmd::kUnload}) {
    EXPECT_EQ(s.sim.Exec(c).find("Unknown"), std::string::npos) << c;
  }
  EXPECT_EQ(s.sim.Exec(zcmd::kWhere), "-14,7500 um");
  EXPECT_NE(s.sim.Exec(zcmd::kProbeController).find(zcmd::kControllerMark), std::string::npos);
}

TEST(SimProtocol, NumbersInTheOtherSeparatorAreNotUnderstoodAndNothingMoves) {
  Sim s(",");
  EXPECT_EQ(s.sim.Exec("Z 10.5 ; Z Wait ;"), "Unknown command: Z 10.5");
  EXPECT_EQ(s.sim.Exec("Z ?"), "0,0000 um");
  Sim dot(".");
  EXPECT_EQ(dot.sim.Exec("Z Rel 1,5"), "Unknown command: Z Rel 1,5");
}

TEST(SimProtocol, CompoundCommandsRunInOrderAndTolerateBlanks) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("  Z 10   ;Z Wait;  ; Z ?   ;  Z  Rel  -4 ; Z Wait ; Z ?"),
            "OK ; OK ; 10.0000 um ; OK ; OK ; 6.0000 um");
  EXPECT_EQ(s.sim.Exec("z ?"), "6.0000 um");  // keywords in any case
}

TEST(SimProtocol, AnUnknownStepRefusesTheWholeCommandWithAReply) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Z 10 ; Fly away ; Z Wait"), "Unknown command: Fly away");
  EXPECT_EQ(s.sim.Exec("Z ?"), "0.0000 um");
  EXPECT_EQ(s.sim.Exec("Obj Get 1.5"), "Unknown command: Obj Get 1.5");
  EXPECT_EQ(s.sim.Exec("CON /2Z"), "Unknown command: CON /2Z");
  EXPECT_EQ(s.sim.Exec("Z"), "Unknown command: Z");
  EXPECT_EQ(s.sim.Exec("Z\t?"), "Unknown command: Z\t?");  // only blanks separate
  EXPECT_EQ(s.sim.Exec(""), "Empty command");
  EXPECT_EQ(s.sim.Exec(" ; ;"), "Empty command");
}

TEST(SimProtocol, StoredPositionQueriesAnswerTheirIndexAndPositionOrNone) {
  Sim s;
  EXPECT_EQ(ReplyToken(s.sim.Exec(zcmd::kObjGetNum), 1), "0");
  // With nothing stored the tool asks for -1 and 0: neither is a number in third place.
  for (int32_t i : {-1, 0, 1}) {
    const std::string r = s.sim.Exec(zcmd::ObjGet(i));
    EXPECT_EQ(ReplyToken(r, 2), std::to_string(i));
    EXPECT_THROW(s.num.ToDouble(ReplyToken(r, 3)), focura::ConversionError) << r;
  }
  s.sim.Exec("Joy On ; Z 7,5 ; Z Wait");  // not understood with "."
  s.sim.Exec("Joy On ; Z 7.5 ; Z Wait ; Sim Store ; Z -3 ; Z Wait ; Sim Store");
  EXPECT_EQ(s.sim.Exec(zcmd::kObjGetNum), "2 positions");
  EXPECT_EQ(s.sim.Exec(zcmd::ObjGet(1)), "Obj 1 7.5000");
  EXPECT_EQ(s.sim.Exec(zcmd::ObjGet(2)), "Obj 2 -3.0000");
  EXPECT_EQ(s.sim.Exec("Obj Get3"), "Obj 3 none");
}

TEST(SimProtocol, ShowHideAndUnloadAreAcknowledgedAndTracked) {
  Sim s;
  EXPECT_EQ(s.sim.Exec("Show"), "OK");
  EXPECT_TRUE(s.sim.Snapshot().visible);
  s.sim.Exec("Hide");
  EXPECT_FALSE(s.sim.Snapshot().visible);
  s.sim.Exec("Show");
  EXPECT_EQ(s.sim.Exec("Unload"), "OK");
  EXPECT_TRUE(s.sim.Snapshot().unloaded);
  EXPECT_FALSE(s.sim.Snapshot().visible);
}

}  // namespace
}  // namespace zsim
