// The verdicts of the check's rows on the power request, a busy program and a modal dialog: each
// way the tool can get it wrong fails, and a request the PC refuses leaves the check incomplete.

#include <gtest/gtest.h>

#include "check/core/RowVerdicts.h"

namespace focura::check {
namespace {

struct Expect {
  Status status;
  bool todo;             // skipped for want of something on the PC
  const char* inReason;  // a part of the reason
};

void ExpectRow(const CheckResult& r, const Expect& e, const std::string& what) {
  EXPECT_EQ(r.status, e.status) << what << ": " << r.reason;
  EXPECT_EQ(!r.todo.empty(), e.todo) << what;
  EXPECT_NE(r.reason.find(e.inReason), std::string::npos) << what << ": " << r.reason;
}

TEST(CheckRows, StayAwakeTable) {
  const AwakeSeen good{"", true, true, true, true, true, false};
  struct Case {
    const char* what;
    AwakeSeen seen;
    Expect expect;
  };
  AwakeSeen noRun = good, notAsked = good, noDisplay = good, refused = good, partly = good,
            kept = good, notReleased = good;
  noRun.runEnd = "The desktop is locked";
  notAsked.asked = false;
  noDisplay.askedDisplay = false;
  refused.heldSystem = refused.heldDisplay = false;
  partly.heldDisplay = false;
  kept.heldAfter = true;
  notReleased.released = false;
  const Case cases[] = {
      {"held and let go", good, {Status::Pass, false, "screen saver"}},
      {"run failed", noRun, {Status::Fail, false, "The desktop is locked"}},
      {"never asked", notAsked, {Status::Fail, false, "did not ask"}},
      {"display not asked", noDisplay, {Status::Fail, false, "display on"}},
      {"refused", refused, {Status::Skipped, true, "refused"}},
      {"display refused", partly, {Status::Skipped, true, "refused"}},
      {"held after", kept, {Status::Fail, false, "outlived"}},
      {"not released", notReleased, {Status::Fail, false, "outlived"}},
  };
  for (const auto& c : cases)
    ExpectRow(JudgeStayAwake(c.seen, ""), c.expect, c.what);
  // Under Wine a refusal is a plain skip; what the run does wrong still fails.
  ExpectRow(JudgeStayAwake(refused, "8.0"), {Status::Skipped, false, "Wine 8.0 refuses"}, "Wine");
  ExpectRow(JudgeStayAwake(notAsked, "8.0"), {Status::Fail, false, "did not ask"}, "Wine");
}

TEST(CheckRows, BusyProgramTable) {
  const BusySeen good{7000, "", 7150, 1, true};
  BusySeen failed = good, none = good, twice = good, behind = good, early = good;
  failed.failure = "The capture program did not take its keys";
  none.keys = 0;
  twice.keys = 2;
  behind.inFront = false;
  early.frameMs = 300;
  const std::pair<BusySeen, Expect> cases[] = {
      {good, {Status::Pass, false, "not responding"}},
      {failed, {Status::Fail, false, "did not take its keys"}},
      {none, {Status::Fail, false, "exactly"}},
      {twice, {Status::Fail, false, "exactly"}},
      {behind, {Status::Fail, false, "not in front"}},
      {early, {Status::Fail, false, "before the program had handled"}},
  };
  for (const auto& [seen, expect] : cases)
    ExpectRow(JudgeBusyProgram(seen), expect, JudgeBusyProgram(seen).figure);
  EXPECT_EQ(JudgeBusyProgram(good).figure,
            "busy 7.0 s over its key; the frame took 7.2 s; the program logged 1 key, in front");
}

TEST(CheckRows, ModalDialogTable) {
  const DialogSeen good{3500, "", true, true, false, "", 3400, 2, true, true};
  DialogSeen first = good, noDialog = good, dismissed = good, second = good, open = good,
             lost = good, early = good, behind = good;
  first.firstFailure = "The capture program shows no window";
  noDialog.opened = false;
  dismissed.closedByKey = true;
  dismissed.keys = 1;
  second.secondFailure = "The capture program shows the dialog \"Card full\"";
  open.closed = false;
  lost.keys = 1;
  early.secondAfterClose = false;
  behind.secondInFront = false;
  const std::pair<DialogSeen, Expect> cases[] = {
      {good, {Status::Pass, false, "no key went into the dialog"}},
      {first, {Status::Fail, false, "first frame failed"}},
      {noDialog, {Status::Fail, false, "did not open"}},
      {dismissed, {Status::Fail, false, "dismissed it"}},
      {second, {Status::Fail, false, "Card full"}},
      {open, {Status::Fail, false, "did not close"}},
      {lost, {Status::Fail, false, "after the dialog"}},
      {early, {Status::Fail, false, "after the dialog"}},
      {behind, {Status::Fail, false, "not in front"}},
  };
  for (const auto& [seen, expect] : cases)
    ExpectRow(JudgeModalDialog(seen), expect, JudgeModalDialog(seen).figure);
}

}  // namespace
}  // namespace focura::check
