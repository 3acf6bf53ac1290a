#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture/ConfigItems.h"
#include "text/Blanks.h"

namespace focura {
namespace {

using Items = std::vector<std::string>;

TEST(ConfigItems, CommasAndEveryKindOfLineEndSeparate) {
  EXPECT_EQ(ReadConfigItems("a,b\r\nc\rd\ne"), (Items{"a", "b", "c", "d", "e"}));
  // LF then CR is two line ends, with an empty line between them.
  EXPECT_EQ(ReadConfigItems("a\n\rb"), (Items{"a", "", "b"}));
}

TEST(ConfigItems, LeadingBlanksAreSkippedOthersBelongToTheItem) {
  EXPECT_EQ(ReadConfigItems("   a b  ,  c"), (Items{"a b  ", "c"}));
  // Only U+0020 is a blank: a tab starts the item.
  EXPECT_EQ(ReadConfigItems("\tx"), (Items{"\tx"}));
}

TEST(ConfigItems, QuotedItemKeepsCommasAndLineEndsUpToTheNextQuote) {
  EXPECT_EQ(ReadConfigItems("\"C:\\cam,2\\run.exe -a, -b\""), (Items{"C:\\cam,2\\run.exe -a, -b"}));
  EXPECT_EQ(ReadConfigItems("  \"a\r\nb\",c"), (Items{"a\r\nb", "c"}));
  EXPECT_EQ(ReadConfigItems("\"\",x"), (Items{"", "x"}));
}

TEST(ConfigItems, TextAfterTheClosingQuoteIsKeptWithTheQuotes) {
  EXPECT_EQ(ReadConfigItems("\"C:\\Program Files\\Cam\\cam.exe\" /remote, b"),
            (Items{"\"C:\\Program Files\\Cam\\cam.exe\" /remote", "b"}));
  EXPECT_EQ(ReadConfigItems("\"a\"x\r\nb"), (Items{"\"a\"x", "b"}));
  // Blanks alone after the quote are no arguments.
  EXPECT_EQ(ReadConfigItems("\"a b\"   \r\nc"), (Items{"a b", "c"}));
}

TEST(ConfigItems, UnterminatedQuoteRunsToTheEndOfTheText) {
  EXPECT_EQ(ReadConfigItems("x\n\"abc,def\r\nghi"), (Items{"x", "abc,def\r\nghi"}));
  EXPECT_EQ(ReadConfigItems("\""), (Items{""}));
}

TEST(ConfigItems, QuoteInsideAnUnquotedItemIsAnOrdinaryCharacter) {
  EXPECT_EQ(ReadConfigItems("a\"b,c\""), (Items{"a\"b", "c\""}));
}

TEST(ConfigItems, EmptyLinesAreEmptyItemsButAFinalLineEndOpensNone) {
  EXPECT_EQ(ReadConfigItems("a\r\n\r\nb"), (Items{"a", "", "b"}));
  EXPECT_EQ(ReadConfigItems("a\r\n"), (Items{"a"}));
  EXPECT_EQ(ReadConfigItems("a\n"), (Items{"a"}));
  EXPECT_EQ(ReadConfigItems("a\r"), (Items{"a"}));
  EXPECT_EQ(ReadConfigItems("a\r\n\r\n"), (Items{"a", ""}));
  EXPECT_EQ(ReadConfigItems("\r\n"), (Items{""}));
  // A last line of blanks is a line with an empty item.
  EXPECT_EQ(ReadConfigItems("a\r\n   "), (Items{"a", ""}));
}

TEST(ConfigItems, CommaAlwaysOpensOneMoreItem) {
  EXPECT_EQ(ReadConfigItems("a,b,"), (Items{"a", "b", ""}));
  EXPECT_EQ(ReadConfigItems("a,\r\n"), (Items{"a", ""}));
  EXPECT_EQ(ReadConfigItems("\"q\","), (Items{"q", ""}));
}

TEST(ConfigItems, EmptyTextHoldsNoItem) {
  EXPECT_TRUE(ReadConfigItems("").empty());
  EXPECT_EQ(LastConfigItem(""), "");
}

TEST(ConfigItems, TheLastItemIsTheOneThatCounts) {
  EXPECT_EQ(LastConfigItem("first.exe\r\nsecond.exe\r\n"), "second.exe");
  EXPECT_EQ(LastConfigItem("C:\\a b\\cam.exe -x,-y"), "-y");
  EXPECT_EQ(LastConfigItem("\"C:\\a b\\cam.exe -x,-y\"\r\n"), "C:\\a b\\cam.exe -x,-y");
  EXPECT_EQ(LastConfigItem("good.exe\r\n\r\n"), "");
}

TEST(ConfigItems, TrimBlanksRemovesOnlyBlanks) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks(" \ta\r\n "), "\ta\r\n");
  EXPECT_EQ(TrimBlanks("    "), "");
  EXPECT_EQ(TrimBlanks(""), "");
}

}  // namespace
}  // namespace focura
