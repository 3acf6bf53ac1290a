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
};

inline CheckResult Pass(std::string figure, std::string reason = {}) {
  return {Status::Pass, std::move(figure), std::move(reason), {}};
}
inline CheckResult Fail(std::string figure, std::string reason) {
  return {Status::Fail, std::move(figure), std::move(reason), {}};
}
inline CheckResult Skipped(std::string reason) {
  return {Status::Skipped, {}, std::move(reason), {}};
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

// 0 when no check failed (skipped ones do not count), else 1.
int ExitCodeOf(const std::vector<CheckRow>& rows);

// A check of the table: its name and what it does. A check that throws fails with the text of
// what it threw, so one broken check never stops the others.
struct Check {
  std::string name;
  std::function<CheckResult()> run;
};

// Runs the checks in table order. `starting(i)` is told before check i runs, `done(row)` after.
std::vector<CheckRow> RunChecks(const std::vector<Check>& checks,
                                const std::function<void(size_t)>& starting = {},
                                const std::function<void(const CheckRow&)>& done = {});

}  // namespace focura::check
