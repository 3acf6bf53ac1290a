// The PC check's report and figures: what a lab sends back must show every row as it was, markup
// in a reason included, and the exit code must say whether anything failed.

#include <gtest/gtest.h>

#include <stdexcept>

#include "check/core/CheckReport.h"
#include "check/core/PlaneTiming.h"
#include "check/core/ToolChoice.h"
#include "fakes/Fakes.h"

namespace focura::check {
namespace {

TEST(CheckReport, TextFromThePcIsEscapedInEveryPlaceOfThePage) {
  EXPECT_EQ(HtmlEscape("a<b>&\"c\"'"), "a&lt;b&gt;&amp;&quot;c&quot;&#39;");
  CheckResult r = Fail("1 < 2 & \"x\"", "<script>alert(1)</script>");
  r.screenshot = "pic\" onerror=\"x.bmp";
  const std::string html =
      ReportHtml("T <1>", {{"Keyboard <layout>", "0407 & \"de\""}}, {{"name <i>", r}});
  for (const char* markup : {"<script>", "<i>", "<layout>", "onerror=\""})
    EXPECT_EQ(html.find(markup), std::string::npos) << markup;
  for (const char* shown :
       {"&lt;script&gt;alert(1)&lt;/script&gt;", "1 &lt; 2 &amp; &quot;x&quot;",
        "0407 &amp; &quot;de&quot;", "<img src=\"pic&quot; onerror=&quot;x.bmp\"",
        "0 passed, 1 failed, 0 skipped"})
    EXPECT_NE(html.find(shown), std::string::npos) << shown;
}

TEST(CheckReport, PlainTextHoldsEveryRowAndTheExitCodeCountsOnlyFailures) {
  const std::vector<CheckRow> rows{{"one", Pass("3 ms")},
                                   {"two", Skipped("Wine cannot show it")},
                                   {"three", Fail("", "went wrong")}};
  EXPECT_EQ(ReportText("T", {{"DPI", "96"}}, rows),
            "Some checks failed: see the rows marked FAIL.\r\nT\r\n1 passed, 1 failed, 1 "
            "skipped\r\n\r\nDPI: 96\r\n\r\n"
            "[pass] one\r\n    measured: 3 ms\r\n"
            "[skipped] two\r\n    reason: Wine cannot show it\r\n"
            "[FAIL] three\r\n    reason: went wrong\r\n");
  EXPECT_EQ(ExitCodeOf(rows), kExitFailed);
  EXPECT_EQ(ExitCodeOf({rows[0], rows[1]}), kExitNoFailure);
  EXPECT_EQ(ExitCodeOf({}), kExitNoFailure);
}

TEST(CheckReport, WhatThePcLacksMakesTheCheckIncompleteAndItsFirstLineSaysWhatToDo) {
  const CheckRow unmet{"sim", Unmet("zsim.exe is registered", "run zsim.exe /UnregServer")};
  const CheckRow again{"log", Unmet("zsim.exe is registered", "run zsim.exe /UnregServer")};
  const CheckRow missing{"keys", Unmet("no stand-in", "unpack the whole zip")};
  const std::vector<CheckRow> rows{{"one", Pass("3 ms")}, unmet, again, missing};
  EXPECT_EQ(ExitCodeOf(rows), kExitIncomplete);
  const std::string text = ReportText("T", {}, rows);
  EXPECT_EQ(text.substr(0, text.find("\r\n")),
            "Incomplete: no check failed, but not every check could run. To do: run zsim.exe "
            "/UnregServer; unpack the whole zip. Then run the check again.");
  EXPECT_NE(text.find("    to do: unpack the whole zip\r\n"), std::string::npos);
  // A failure outweighs what is missing.
  EXPECT_EQ(ExitCodeOf({unmet, {"t", Fail("", "late")}}), kExitFailed);
  EXPECT_EQ(Overran(30, "the class factory").reason, "still waiting for the class factory");
}

TEST(ToolChoice, TheProgramForThePcFollowsTheZServersKindAndWidth) {
  struct Case {
    ClassEntries bits32, bits64;
    bool windows64;
    Width self, program;
    bool otherCheck;
  };
  const ClassEntries none{}, dll{true, false}, exe{false, true};
  const Case cases[] = {
      {dll, none, true, Width::Bits64, Width::Bits32, true},   // a 32-bit DLL: focura32.exe
      {dll, none, true, Width::Bits32, Width::Bits32, false},  // which the 32-bit check creates
      {none, dll, true, Width::Bits64, Width::Bits64, false},
      {dll, dll, true, Width::Bits32, Width::Bits64, false},   // both widths: the native one
      {exe, none, true, Width::Bits64, Width::Bits64, false},  // a local server serves both
      {dll, exe, true, Width::Bits32, Width::Bits64, false},
      {none, none, false, Width::Bits32, Width::Bits32, false},  // 32-bit Windows
  };
  for (const Case& c : cases) {
    const ToolChoice got = ChooseTool(c.bits32, c.bits64, c.windows64, c.self);
    EXPECT_EQ(got.program, c.program) << got.why;
    EXPECT_EQ(got.otherCheckCreates, c.otherCheck) << got.why;
  }
  EXPECT_STREQ(CheckProgramFor(Width::Bits32), "focura-check32.exe");
}

TEST(CheckTable, AThrowingCheckFailsWithItsTextAndTheOthersStillRun) {
  std::vector<size_t> started;
  std::vector<std::string> done;
  const auto rows = RunChecks(
      {{"a", [] { return Pass("1"); }},
       {"b", []() -> CheckResult { throw std::runtime_error("class not registered"); }},
       {"c", [] { return Skipped("no"); }}},
      [&](size_t i) { started.push_back(i); }, [&](const CheckRow& r) { done.push_back(r.name); });
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[1].result.status, Status::Fail);
  EXPECT_EQ(rows[1].result.reason, "class not registered");
  EXPECT_EQ(rows[2].result.status, Status::Skipped);
  EXPECT_EQ(started, (std::vector<size_t>{0, 1, 2}));
  EXPECT_EQ(done, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(PlaneTiming, OnlyStepsAreTimedAndIntervalsSurviveTheCountersWrap) {
  fakes::FakeZServer inner;
  fakes::FakeClock clock(0xFFFFFFF7u, 7);  // the counter wraps during the run
  PlaneTimes timed(inner, clock);
  for (const char* c : {"Z 10.0000 ; Z Wait ;", "Z Rel -1.0000 ; Z Wait ;", "Z ?",
                        "Z Rel -1.0000 ; Z Wait ;", "CON /2J1R", "Z Rel -1.0000 ; Z Wait ;"})
    timed.Exec(c);
  EXPECT_EQ(inner.commands.size(), 6u);
  ASSERT_EQ(timed.Starts().size(), 3u);
  const IntervalExcess e = ExcessOverPeriod(timed.Starts(), 5);
  EXPECT_EQ(e.intervals, 2u);
  EXPECT_EQ(e.median, 2);
  EXPECT_EQ(e.worst, 2);
}

TEST(PlaneTiming, TheVerdictTable) {
  struct Case {
    std::vector<uint32_t> starts;
    size_t planes;
    Status status;
  };
  const std::vector<Case> cases{
      {{0, 101, 202, 303}, 4, Status::Pass},  // 1 ms over, as a 1 ms counter gives
      {{0, 101, 202, 303}, 5, Status::Fail},  // a plane missing
      {{0, 109, 216, 325}, 4, Status::Fail},  // a coarse counter: typically 8 ms over
      {{0, 101, 202, 543}, 4, Status::Pass},  // one plane 241 ms late: within the bound
      {{0, 101, 202, 563}, 4, Status::Fail},  // one plane 261 ms late
      {{0, 101, 150, 251}, 4, Status::Fail},  // a plane cut short
  };
  for (const auto& c : cases) {
    const IntervalExcess e = ExcessOverPeriod(c.starts, 100);
    EXPECT_EQ(JudgeTiming(e, 100, c.planes).status, c.status) << DescribeExcess(e, 100);
  }
  EXPECT_EQ(DescribeExcess(ExcessOverPeriod({0, 101, 203}, 100), 100),
            "median +2 ms, worst +2 ms over 2 intervals of 100 ms");
}

}  // namespace
}  // namespace focura::check
