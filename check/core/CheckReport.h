#pragma once
// The check's report: a header of facts about the PC, then one row a check, written as an HTML
// page and as plain text. Everything here is portable so that the writer is tested natively.

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace focura::check {

enum class Status { Pass, Fail, Skipped };

// "pass", "FAIL", "skipped": failures stand out in the plain text.
const char* StatusText(Status status);

struct CheckResult {
  Status status = Status::Fail;
  std::string figure;      // what was measured, "" when nothing was
  std::string reason;      // why it failed or was skipped, or what a pass rests on
  std::string screenshot;  // a picture's file name beside the report, "" for none
  // For a check skipped because the PC lacks what it needs (not because Wine cannot show it):
  // what the operator does about it. Such a skip leaves the whole check incomplete.
  std::string todo;
};

inline CheckResult Pass(std::string figure, std::string reason = {}) {
  return {Status::Pass, std::move(figure), std::move(reason), {}, {}};
}
inline CheckResult Fail(std::string figure, std::string reason) {
  return {Status::Fail, std::move(figure), std::move(reason), {}, {}};
}
inline CheckResult Skipped(std::string reason) {
  return {Status::Skipped, {}, std::move(reason), {}, {}};
}
inline CheckResult Unmet(std::string reason, std::string todo) {
  return {Status::Skipped, {}, std::move(reason), {}, std::move(todo)};
}

struct CheckRow {
  std::string name;
  CheckResult result;
};

// One fact of the header: "Windows", "10.0 build 22631"; in the order given.
using ReportFacts = std::vector<std::pair<std::string, std::string>>;

// Text safe inside an HTML element or a double-quoted attribute.
std::string HtmlEscape(std::string_view text);

std::string ReportHtml(const std::string& title, const ReportFacts& facts,
                       const std::vector<CheckRow>& rows);
std::string ReportText(const std::string& title, const ReportFacts& facts,
                       const std::vector<CheckRow>& rows);

// The exit codes: no check failed and nothing the PC lacked kept a check from running; some
// check failed; none failed, but some could not run for want of something on the PC; the report
// could not be written.
inline constexpr int kExitNoFailure = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitNotWritten = 2;
inline constexpr int kExitIncomplete = 3;

// kExitFailed when a check failed, else kExitIncomplete when a check was skipped with something
// for the operator to do, else kExitNoFailure (skips that Wine or the operator's choice caused do
// not count).
int ExitCodeOf(const std::vector<CheckRow>& rows);

// The report's first line: the verdict, and for an incomplete check what to do first.
std::string VerdictLine(const std::vector<CheckRow>& rows);

// A check of the table: its name, what it does and how long it may take: its expected time with
// a wide margin, after which it counts as failed and the check goes on without it. A check that
// throws fails with the text of what it threw, so one broken check never stops the others.
struct Check {
  std::string name;
  std::function<CheckResult()> run;
  unsigned limitSeconds = 60;
  // Talks to the simulator the rows share: once it overran, the rows after it do not wait for
  // that simulator again.
  bool usesSimulator = false;
};

// The row of a check that did not end within its time limit.
CheckResult Overran(unsigned limitSeconds, const std::string& waitingFor);

// Runs one check: its row, a failure with the text of what it threw.
CheckRow RunOne(const Check& check);

// Runs the checks in table order. `starting(i)` is told before check i runs, `done(row)` after.
std::vector<CheckRow> RunChecks(const std::vector<Check>& checks,
                                const std::function<void(size_t)>& starting = {},
                                const std::function<void(const CheckRow&)>& done = {});

}  // namespace focura::check
