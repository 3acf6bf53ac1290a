#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/Errors.h"
#include "zserver/Commands.h"
#include "zserver/Repeat.h"
#include "zserver/SplitReply.h"

namespace focura {
namespace {

TEST(ZServerCommands, TextsOfMovesAndQueries) {
  NumberText num;
  EXPECT_EQ(zcmd::MoveTo(102.5, num), "Z 102.5000 ; Z Wait ;");
  EXPECT_EQ(zcmd::MoveBy(-2.5, num), "Z Rel -2.5000 ; Z Wait ;");
  EXPECT_EQ(zcmd::MoveBy(-0.00004, num), "Z Rel 0.0000 ; Z Wait ;");
  EXPECT_EQ(zcmd::ObjGet(4), "Obj Get 4");
  EXPECT_EQ(zcmd::ObjGet(0), "Obj Get 0");
  EXPECT_EQ(zcmd::ObjGet(-1), "Obj Get-1");
  EXPECT_EQ(zcmd::MoveTo(-7.125, NumberText(",")), "Z -7,1250 ; Z Wait ;");
}

TEST(ZServerCommands, OnlyCommandsWithTheSameResultTwiceAreSafeToRepeat) {
  NumberText num;
  // Off twice is still off; a move to a place ends there however often it is sent.
  for (const std::string& safe : std::vector<std::string>{
           "Z ?", "Obj GetNum", zcmd::ObjGet(3), zcmd::ObjGet(-1), "Show", "Hide", "Joy On",
           "CON /2&", "CON /2J0R", zcmd::MoveTo(102.5, num), zcmd::MoveTo(-7.125, NumberText(",")),
           zcmd::MoveTo(3, NumberText("Â·"))})
    EXPECT_TRUE(zcmd::SafeToRepeat(safe)) << safe;
  for (const std::string& unsafe : std::vector<std::string>{
           zcmd::MoveBy(-2.5, num), zcmd::MoveBy(0, num), "CON /2J1R", "Unload",
           "Z 10 ; Z Wait ; Z Rel 5 ; Z Wait ;", "Z 10 ; Z Rel 5 ; Z Wait ;", "Z ? ; Z Rel 5",
           "Obj Get", "Obj Get 2 ; Z Rel 1", "Z  ; Z Wait ;", "Show "})
    EXPECT_FALSE(zcmd::SafeToRepeat(unsafe)) << unsafe;
  EXPECT_NE(zcmd::NotRepeatedText(zcmd::MoveBy(-2.5, num)).find("the step may or may not"),
            std::string::npos);
  EXPECT_NE(zcmd::NotRepeatedText("CON /2J1R").find("may or may not have taken effect"),
            std::string::npos);
}

struct Split {
  std::string token, rest;
  int16_t n;
};

Split SplitOnce(std::string reply) {
  std::string token = "old";
  const int16_t n = SplitReply(reply, token);
  return {token, reply, n};
}

TEST(SplitReply, CutsTheFirstBlankSeparatedToken) {
  auto r = SplitOnce("  12.5   um  x ");
  EXPECT_EQ(r.token, "12.5");
  EXPECT_EQ(r.rest, "um  x");
  EXPECT_EQ(r.n, 4);

  r = SplitOnce("word");
  EXPECT_EQ(r.token, "word");
  EXPECT_EQ(r.rest, "");
  EXPECT_EQ(r.n, 4);

  for (const char* empty : {"", "    "}) {
    r = SplitOnce(empty);
    EXPECT_EQ(r.token, "");
    EXPECT_EQ(r.rest, "");
    EXPECT_EQ(r.n, 0);
  }
}

TEST(SplitReply, OnlyTheBlankSeparates) {
  auto r = SplitOnce("12.5\tum");
  EXPECT_EQ(r.token, "12.5\tum");
  EXPECT_EQ(r.rest, "");
  r = SplitOnce("1\r\n2 3");
  EXPECT_EQ(r.token, "1\r\n2");
  EXPECT_EQ(r.rest, "3");
}

TEST(SplitReply, RepeatedCallsWalkTheTokens) {
  std::string reply = "7 A 12.25 B";
  std::string token;
  SplitReply(reply, token);
  SplitReply(reply, token);
  SplitReply(reply, token);
  EXPECT_EQ(token, "12.25");
  EXPECT_EQ(reply, "B");
  EXPECT_EQ(ReplyToken("Obj 5 -12.5000", 3), "-12.5000");
  EXPECT_EQ(ReplyToken("Obj 5", 3), "");
}

TEST(SplitReply, TokenBeyondSixteenBitsOverflows) {
  std::string fits(32767, 'x');
  std::string token;
  EXPECT_EQ(SplitReply(fits, token), 32767);
  std::string tooLong(32768, 'x');
  std::string before = tooLong;
  EXPECT_THROW(SplitReply(tooLong, token), ArithmeticError);
  EXPECT_EQ(tooLong, before);
}

}  // namespace
}  // namespace focura
