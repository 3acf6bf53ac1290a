// The two logs the suite judges the tool by must be read exactly: a parser that dropped a record
// or mangled an escaped character would hide the very faults the scenarios look for.

#include "Desktop.h"
#include "RecorderLog.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace focura::e2e {
namespace {

TEST(RecorderLogFormat, ReadsRecordsSkipsCommentsAndTheLineStillBeingWritten) {
  const std::string text =
      "# session 1000\n"
      "1\t1001\t1002\tOK\tShow\tOK\n"
      "2\t1003\t1050\tOK\tZ Rel -10.0000 ; Z Wait ;\tOK ; OK\n"
      "3\t1051\t1051\tERR\tZ ?\tInjected\\tfailure \\\\ with\\r\\nline end\n"
      "# session 2000\n"
      "4\t2001\t2001\tOK\tUnload\tOK\n"
      "5\t2002\t20";  // no LF yet
  const auto record = ParseRecorderLog(text);
  ASSERT_EQ(record.size(), 4u);
  EXPECT_EQ(record[1].seq, 2u);
  EXPECT_EQ(record[1].receivedMs, 1003u);
  EXPECT_EQ(record[1].completedMs, 1050u);
  EXPECT_TRUE(record[1].ok);
  EXPECT_EQ(record[1].command, "Z Rel -10.0000 ; Z Wait ;");
  EXPECT_FALSE(record[2].ok);
  EXPECT_EQ(record[2].reply, "Injected\tfailure \\ with\r\nline end");
  EXPECT_EQ(Commands(record),
            (std::vector<std::string>{"Show", "Z Rel -10.0000 ; Z Wait ;", "Z ?", "Unload"}));
}

TEST(RecorderLogFormat, KeepsEmptyCommandsAndRejectsMalformedLines) {
  const auto record = ParseRecorderLog("1\t5\t5\tOK\t\tEmpty command\n");
  ASSERT_EQ(record.size(), 1u);
  EXPECT_EQ(record[0].command, "");
  EXPECT_THROW(ParseRecorderLog("1\t5\t5\tOK\tShow\n"), std::runtime_error);  // five fields
  EXPECT_THROW(ParseRecorderLog("1\tx\t5\tOK\tShow\tOK\n"), std::runtime_error);
  EXPECT_THROW(ParseRecorderLog("1\t5\t5\tMAYBE\tShow\tOK\n"), std::runtime_error);
  EXPECT_THROW(ParseRecorderLog("1\t5\t5\tOK\tShow\\q\tOK\n"), std::runtime_error);
}

TEST(StandInLogFormat, ReadsKeysCharactersModifiersAndForeground) {
  const std::string text =
      "100 ACTIVATE on=1 fg=1\r\n"
      "101 START pid=42 fg=1\r\n"
      "200 KEYDOWN vk=32 shift=0 ctrl=0 alt=0 fg=1\r\n"
      "200 CHAR ch=32 shift=0 ctrl=0 alt=0 fg=1\r\n"
      "300 KEYDOWN vk=86 shift=0 ctrl=1 alt=0 fg=0\r\n"
      "310 SYSKEYDOWN vk=119 shift=1 ctrl=0 alt=1 fg=1\r\n"
      "320 KEYDOWN vk=13";  // still being written
  const auto events = ParseTargetLog(text);
  ASSERT_EQ(events.size(), 6u);
  EXPECT_EQ(events[0].kind, TargetEventKind::Activate);
  EXPECT_TRUE(events[0].on);
  EXPECT_EQ(events[1].kind, TargetEventKind::Start);
  EXPECT_EQ(events[1].code, 42u);
  EXPECT_EQ(events[3].kind, TargetEventKind::Char);
  const auto keys = KeyDowns(events);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].timeMs, 200u);
  EXPECT_EQ(keys[0].code, 32u);
  EXPECT_TRUE(keys[0].foreground);
  EXPECT_TRUE(keys[1].ctrl);
  EXPECT_FALSE(keys[1].foreground);
  EXPECT_EQ(keys[2].kind, TargetEventKind::SysKeyDown);
  EXPECT_TRUE(keys[2].shift && keys[2].alt && !keys[2].ctrl);
}

TEST(StandInLogFormat, RejectsMalformedLines) {
  EXPECT_THROW(ParseTargetLog("abc KEYDOWN vk=32 shift=0 ctrl=0 alt=0 fg=1\n"), std::runtime_error);
  EXPECT_THROW(ParseTargetLog("1 KEYDOWN vk=32 shift=0 ctrl=0 alt=0\n"), std::runtime_error);
  EXPECT_THROW(ParseTargetLog("1 KEYUP vk=32 fg=1\n"), std::runtime_error);
}

}  // namespace
}  // namespace focura::e2e
