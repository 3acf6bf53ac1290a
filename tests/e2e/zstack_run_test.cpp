// A whole run as the operator starts it: the exact commands the Z server receives, one key per
// plane reaching the capture program after its plane's move ended, and the run's log in the
// text editor.

#include "Desktop.h"
#include "E2ETest.h"

namespace focura::e2e {
namespace {

using Strings = std::vector<std::string>;

class ZStackRun : public E2ETest {};

TEST_F(ZStackRun, FivePlanesExactCommandsOneKeyPerPlaneAfterItsMoveAndTheLogInTheEditor) {
  StartTool();
  StandInLog keys = LaunchStandIn();
  SetTopAt(10);
  SetBottomAt(50);
  SetPlanes(5, "10.00");
  SetTimings("0.1", "0.1", "0.0");
  const size_t from = tool->Record().size();

  EXPECT_EQ(RunStack(), "Z-stack finished");

  Strings expected{"Z 60.0000 ; Z Wait ;"};
  for (int k = 1; k <= 5; ++k) {
    expected.push_back("Z Rel -10.0000 ; Z Wait ;");
    expected.push_back("Z ?");
  }
  const auto record = tool->Record();
  ASSERT_EQ(CommandsFrom(from), expected);

  // The planes, in order from the bottom; the log is built from the replies as received.
  std::vector<RecordedCommand> queries, moves;
  std::string log = "Planes 5, Step = -10.00 ;\r\n";
  for (size_t i = from; i < record.size(); ++i) {
    if (record[i].command == "Z ?") {
      queries.push_back(record[i]);
      log += "#" + std::to_string(queries.size()) + ", Z=" + record[i].reply + "\r\n";
    } else if (record[i].command.rfind("Z Rel", 0) == 0) {
      moves.push_back(record[i]);
    }
  }
  for (size_t k = 0; k < queries.size(); ++k)
    EXPECT_EQ(queries[k].reply, F4(50.0 - 10.0 * static_cast<double>(k)) + " um");

  // One space per plane, each with the stand-in in front, after that plane's move had ended
  // (its position query answered) plus the settle delay and the key delay, and before the next
  // plane's move was received.
  ASSERT_TRUE(keys.WaitKeys(5, kStepMs));
  const auto down = keys.Keys();
  ASSERT_EQ(down.size(), 5u);
  for (size_t k = 0; k < down.size(); ++k) {
    SCOPED_TRACE("plane " + std::to_string(k + 1));
    EXPECT_EQ(down[k].code, static_cast<unsigned>(VK_SPACE));
    EXPECT_TRUE(down[k].foreground);
    EXPECT_FALSE(down[k].shift || down[k].ctrl || down[k].alt);
    EXPECT_GE(Elapsed(queries[k].completedMs, down[k].timeMs), 100 + 200);
    if (k + 1 < moves.size()) {
      EXPECT_GT(Elapsed(down[k].timeMs, moves[k + 1].receivedMs), 0);
    }
  }

  // The log view: a new editor holding the log, pasted from the clipboard.
  const auto before = NotepadWindows();
  tool->Menu("mnuZLog");
  const NotepadView view = WaitForNewNotepad(before, kStartMs);
  ASSERT_NE(view.window, nullptr) << "no editor opened";
  EndNotepad(view);
  // The editor's multi-line edit keeps CR LF as pasted (Wine's notepad does), so the text must be
  // the log byte for byte.
  EXPECT_EQ(view.text, log);
  EXPECT_EQ(tool->Status(), "Z-stack finished");
}

}  // namespace
}  // namespace focura::e2e
