#include "check/core/CheckReport.h"

#include <algorithm>
#include <exception>

namespace focura::check {

const char* StatusText(Status status) {
  switch (status) {
    case Status::Pass:
      return "pass";
    case Status::Fail:
      return "FAIL";
    case Status::Skipped:
      return "skipped";
  }
  return "FAIL";
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

const char* kLineEnd = "\r\n";  // the text report is opened in the PC's own editor

const char* CssClass(Status status) {
  switch (status) {
    case Status::Pass:
      return "pass";
    case Status::Fail:
      return "fail";
    case Status::Skipped:
      return "skipped";
  }
  return "fail";
}

std::string Summary(const std::vector<CheckRow>& rows) {
  int pass = 0, fail = 0, skipped = 0;
  for (const auto& row : rows) {
    if (row.result.status == Status::Pass)
      ++pass;
    else if (row.result.status == Status::Fail)
      ++fail;
    else
      ++skipped;
  }
  return std::to_string(pass) + " passed, " + std::to_string(fail) + " failed, " +
         std::to_string(skipped) + " skipped";
}

}  // namespace

std::string ReportHtml(const std::string& title, const ReportFacts& facts,
                       const std::vector<CheckRow>& rows) {
  std::string h;
  h += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" + HtmlEscape(title) +
       "</title>\n<style>\n"
       "body{font-family:sans-serif;margin:1em}table{border-collapse:collapse}"
       "td,th{border:1px solid #999;padding:3px 6px;vertical-align:top;text-align:left}"
       ".pass{background:#dfd}.fail{background:#fcc;font-weight:bold}.skipped{background:#eee}"
       "img{max-width:640px}\n</style></head><body>\n";
  h += "<p class=\"" + std::string(ExitCodeOf(rows) == kExitNoFailure ? "pass" : "fail") + "\">" +
       HtmlEscape(VerdictLine(rows)) + "</p>\n<h1>" + HtmlEscape(title) + "</h1>\n<p>" +
       HtmlEscape(Summary(rows)) + "</p>\n<table>\n";
  for (const auto& [name, value] : facts)
    h += "<tr><th>" + HtmlEscape(name) + "</th><td>" + HtmlEscape(value) + "</td></tr>\n";
  h += "</table>\n<h2>Checks</h2>\n<table>\n"
       "<tr><th>Check</th><th>Result</th><th>Measured</th><th>Reason</th><th>Picture</th></tr>\n";
  for (const auto& row : rows) {
    const CheckResult& r = row.result;
    h += "<tr class=\"" + std::string(CssClass(r.status)) + "\"><td>" + HtmlEscape(row.name) +
         "</td><td>" + StatusText(r.status) + "</td><td>" + HtmlEscape(r.figure) + "</td><td>" +
         HtmlEscape(r.reason) + (r.todo.empty() ? "" : "<br>To do: " + HtmlEscape(r.todo)) +
         "</td><td>";
    if (!r.screenshot.empty()) {
      const std::string src = HtmlEscape(r.screenshot);
      h += "<a href=\"" + src + "\"><img src=\"" + src + "\" alt=\"" + HtmlEscape(row.name) +
           "\"></a>";
    }
    h += "</td></tr>\n";
  }
  h += "</table>\n</body></html>\n";
  return h;
}

std::string ReportText(const std::string& title, const ReportFacts& facts,
                       const std::vector<CheckRow>& rows) {
  std::string t =
      VerdictLine(rows) + kLineEnd + title + kLineEnd + Summary(rows) + kLineEnd + kLineEnd;
  for (const auto& [name, value] : facts)
    t += name + ": " + value + kLineEnd;
  t += kLineEnd;
  for (const auto& row : rows) {
    const CheckResult& r = row.result;
    t += std::string("[") + StatusText(r.status) + "] " + row.name + kLineEnd;
    if (!r.figure.empty())
      t += "    measured: " + r.figure + kLineEnd;
    if (!r.reason.empty())
      t += "    reason: " + r.reason + kLineEnd;
    if (!r.todo.empty())
      t += "    to do: " + r.todo + kLineEnd;
    if (!r.screenshot.empty())
      t += "    picture: " + r.screenshot + kLineEnd;
  }
  return t;
}

int ExitCodeOf(const std::vector<CheckRow>& rows) {
  bool incomplete = false;
  for (const auto& row : rows) {
    if (row.result.status == Status::Fail)
      return kExitFailed;
    incomplete = incomplete || !row.result.todo.empty();
  }
  return incomplete ? kExitIncomplete : kExitNoFailure;
}

std::string VerdictLine(const std::vector<CheckRow>& rows) {
  switch (ExitCodeOf(rows)) {
    case kExitNoFailure:
      return "No check failed.";
    case kExitFailed:
      return "Some checks failed: see the rows marked FAIL.";
    default:
      break;
  }
  // Each thing to do once, in the order of the rows that need it.
  std::vector<std::string> todo;
  for (const auto& row : rows) {
    if (!row.result.todo.empty() &&
        std::find(todo.begin(), todo.end(), row.result.todo) == todo.end())
      todo.push_back(row.result.todo);
  }
  std::string line = "Incomplete: no check failed, but not every check could run. To do: ";
  for (size_t i = 0; i < todo.size(); ++i)
    line += (i == 0 ? "" : "; ") + todo[i];
  return line + ". Then run the check again.";
}

CheckResult Overran(unsigned limitSeconds, const std::string& waitingFor) {
  return Fail("no end after " + std::to_string(limitSeconds) + " s, the time limit",
              "still waiting for " + (waitingFor.empty() ? "the check's own steps" : waitingFor));
}

CheckRow RunOne(const Check& check) {
  CheckRow row{check.name, {}};
  try {
    row.result = check.run();
  } catch (const std::exception& e) {
    row.result = Fail("", e.what());
  } catch (...) {
    row.result = Fail("", "unexpected error");
  }
  return row;
}

std::vector<CheckRow> RunChecks(const std::vector<Check>& checks,
                                const std::function<void(size_t)>& starting,
                                const std::function<void(const CheckRow&)>& done) {
  std::vector<CheckRow> rows;
  for (size_t i = 0; i < checks.size(); ++i) {
    if (starting)
      starting(i);
    rows.push_back(RunOne(checks[i]));
    if (done)
      done(rows.back());
  }
  return rows;
}

}  // namespace focura::check
