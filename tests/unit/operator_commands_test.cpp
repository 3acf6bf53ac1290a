#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "capture/KeyNotation.h"
#include "form_rig.h"
#include "ui/OperatorCommands.h"

namespace focura {
namespace {

using Strings = std::vector<std::string>;

struct Commands : ::testing::Test {
  testing::FormRig r;
  void SetUp() override { r.LoadAndForget(); }
  void Ends(double top, double bottom) {
    r.set.ZTop = top;
    r.set.ZBottom = bottom;
  }
};

TEST_F(Commands, ExecuteSendsTheTextAsTypedAndShowsTheReply) {
  r.w.texts[Control::txtCommand] = "  Z ?  ";
  r.zs.replies["  Z ?  "] = "12.5 um";
  r.form.Dispatch(Command::cmdExecute);
  EXPECT_EQ(r.Sent(), Strings{"  Z ?  "});
  EXPECT_EQ(r.w.Status(), "12.5 um");

  r.w.texts[Control::txtCommand] = "";
  r.zs.replies[""] = "ERR empty";
  r.form.Dispatch(Command::cmdExecute);
  EXPECT_EQ(r.Sent(), (Strings{"  Z ?  ", ""}));
  EXPECT_EQ(r.w.Status(), "ERR empty");
}

TEST_F(Commands, SetTopAndBottomTakeTheFirstTokenOfTheZReply) {
  r.zs.replies["Z ?"] = "  1234.5 um   moving";
  r.form.Dispatch(Command::cmdSetTop);
  EXPECT_EQ(r.set.ZTop, 1234.5);
  EXPECT_EQ(r.set.ZBottom, NotSetD);
  EXPECT_EQ(r.w.texts[Control::lblTop], "1234.50");
  EXPECT_EQ(r.w.Status(), "ZTop= 1234.50, ZBottom= 77777.00, ZHeight= 76542.50");

  r.zs.replies["Z ?"] = "-20";
  r.form.Dispatch(Command::cmdSetBot);
  EXPECT_EQ(r.set.ZBottom, -20.0);
  EXPECT_EQ(r.set.ZTop, 1234.5);
  EXPECT_EQ(r.w.texts[Control::lblBot], "-20.00");
  EXPECT_EQ(r.w.Status(), "ZTop= 1234.50, ZBottom= -20.00, ZHeight= 1254.50");
  EXPECT_EQ(r.Sent(), (Strings{"Z ?", "Z ?"}));
}

TEST_F(Commands, SetTopWithoutANumberShowsErrorAndKeepsTheEnd) {
  r.set.ZTop = 5;
  for (const char* reply : {"", "    ", "abc 12", "12,5"}) {
    r.zs.replies["Z ?"] = reply;
    r.w.texts[kStatusLine] = "before";
    r.form.Dispatch(Command::cmdSetTop);
    EXPECT_EQ(r.w.Status(), "Error") << '"' << reply << '"';
    EXPECT_EQ(r.set.ZTop, 5.0);
  }
}

TEST_F(Commands, SetTopWithAFailingServerReportsTheServer) {
  r.zs.failures["Z ?"] = "axis not homed";
  r.form.Dispatch(Command::cmdSetTop);
  EXPECT_EQ(r.w.Status(), "Z server command \"Z ?\" failed: axis not homed");
  EXPECT_EQ(r.set.ZTop, NotSetD);
}

struct Joystick : Commands {
  void Stored(const std::string& count, const std::string& before, const std::string& last,
              int32_t n) {
    r.zs.replies["Obj GetNum"] = count;
    r.zs.replies["Obj Get" + std::string(n - 1 < 0 ? "" : " ") + std::to_string(n - 1)] = before;
    r.zs.replies["Obj Get" + std::string(n < 0 ? "" : " ") + std::to_string(n)] = last;
  }
};

TEST_F(Joystick, AsksForTheLastTwoPositionsAndShowsEachStep) {
  Stored("5 positions", "4 pos 300.25 um", "5 pos 100 um", 5);
  Strings shownAtPump;
  r.w.onPump = [&](int) { shownAtPump.push_back(r.w.Status()); };
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(shownAtPump, (Strings{"5 positions", "4 pos 300.25 um", "5 pos 100 um"}));
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Obj Get 4", "Obj Get 5"}));
  EXPECT_EQ(r.w.statusHistory,
            (Strings{"5 positions", " 5", "4 pos 300.25 um", " 300.25", "5 pos 100 um",
                     "ZTop= 100.00, ZBottom= 300.25, ZHeight= 200.25"}));
  EXPECT_EQ(r.set.ZTop, 100.0);
  EXPECT_EQ(r.set.ZBottom, 300.25);
}

TEST_F(Joystick, NoStoredPositionsAsksForMinusOneAndZero) {
  Stored("0", "x y -3.5", "x y 7", 0);
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.Sent(), (Strings{"Obj GetNum", "Obj Get-1", "Obj Get 0"}));
  EXPECT_EQ(r.w.statusHistory[1], " 0");
  EXPECT_EQ(r.w.statusHistory[3], "-3.5");
  EXPECT_EQ(r.set.ZTop, -3.5);
  EXPECT_EQ(r.set.ZBottom, 7.0);
}

TEST_F(Joystick, FailuresAfterTheCountShowErrorAndKeepBothEnds) {
  Ends(1, 2);
  Stored("abc", "", "", 0);
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.Sent(), Strings{"Obj GetNum"});

  Stored("3", "x y 10", "x y notanumber", 3);
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.Status(), "Error");

  Stored("3", "x y 10", "x y 20", 3);
  r.zs.failures["Obj Get 3"] = "no such position";
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.ZTop, 1.0);
  EXPECT_EQ(r.set.ZBottom, 2.0);

  // The smallest count has no predecessor in 32 bits.
  r.zs.replies["Obj GetNum"] = "-2147483648";
  r.zs.commands.clear();
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.Sent(), Strings{"Obj GetNum"});
}

TEST_F(Joystick, FailingCountQueryIsReportedByTheBoundary) {
  r.zs.failures["Obj GetNum"] = "busy";
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.Status(), "Z server command \"Obj GetNum\" failed: busy");
  EXPECT_EQ(r.w.pumps, 0);
}

TEST_F(Joystick, EqualPositionsGiveEqualEndsAndNoDerivation) {
  r.set.StepSize = 5;
  r.set.NumPlanes = 3;
  Stored("2", "a b 42", "a b 42", 2);
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.set.ZTop, 42.0);
  EXPECT_EQ(r.set.ZBottom, 42.0);
  EXPECT_EQ(r.set.StepSize, 5.0);
  EXPECT_EQ(r.set.NumPlanes, 3);
}

TEST(PlainDecimal, BlankBeforeNonNegativePointAsSeparatorNoExponent) {
  EXPECT_EQ(PlainDecimal(12.5), " 12.5");
  EXPECT_EQ(PlainDecimal(-3.25), "-3.25");
  EXPECT_EQ(PlainDecimal(0.0), " 0");
  EXPECT_EQ(PlainDecimal(-0.0), " 0");
  EXPECT_EQ(PlainDecimal(1e21), " 1000000000000000000000");
  EXPECT_EQ(PlainDecimal(0.000001), " 0.000001");
  EXPECT_EQ(PlainDecimal(0.1), " 0.1");
  EXPECT_EQ(PlainDecimal(std::numeric_limits<double>::lowest()).size(), 310u);
}

TEST(PlainDecimal, PointEvenWithARegionalComma) {
  testing::FormRig r(",");
  r.LoadAndForget();
  r.zs.replies["Obj GetNum"] = "2";
  r.zs.replies["Obj Get 1"] = "a b 2,5";
  r.zs.replies["Obj Get 2"] = "a b 3";
  r.form.Dispatch(Command::cmdGetTopBot);
  EXPECT_EQ(r.w.statusHistory[3], " 2.5");
  EXPECT_EQ(r.set.ZTop, 2.5);
}

TEST_F(Commands, SetNumStoresASixteenBitCountBeforeDerivingTheStep) {
  Ends(10, 110);
  r.w.texts[Control::txtNumPlanes] = " 5 ";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.set.NumPlanes, 5);
  EXPECT_EQ(r.set.StepSize, 25.0);
  EXPECT_EQ(r.w.texts[Control::txtStepSize], "25.00");
  EXPECT_EQ(r.w.Status(), "ZTop= 10.00, ZBottom= 110.00, ZHeight= 100.00");

  r.w.texts[Control::txtNumPlanes] = "2.5";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.set.NumPlanes, 2);
  EXPECT_EQ(r.set.StepSize, 100.0);

  r.w.texts[Control::txtNumPlanes] = "40000";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.NumPlanes, 2);

  r.w.texts[Control::txtNumPlanes] = "1";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.NumPlanes, 1);
  EXPECT_EQ(r.set.StepSize, 100.0);  // one plane has no step: the last one stays

  r.w.texts[Control::txtNumPlanes] = "0";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.NumPlanes, 0);
  EXPECT_EQ(r.set.StepSize, 100.0);
}

TEST_F(Commands, SetNumBeforeTheEndsStoresTheCountAndShowsError) {
  r.w.texts[Control::txtNumPlanes] = "7";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.set.NumPlanes, 7);
  EXPECT_EQ(r.w.Status(), "Error");
}

TEST_F(Commands, SetStepSizeStoresTheStepBeforeDerivingTheCount) {
  r.w.texts[Control::txtStepSize] = "2.5";
  r.form.Dispatch(Command::cmdSetStepSize);
  EXPECT_EQ(r.set.StepSize, 2.5);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.NumPlanes, NotSet);

  Ends(0, 100);
  r.w.texts[Control::txtStepSize] = "40";
  r.form.Dispatch(Command::cmdSetStepSize);
  EXPECT_EQ(r.set.NumPlanes, 4);
  EXPECT_EQ(r.w.texts[Control::txtNumPlanes], "4");
  EXPECT_EQ(r.w.Status(), "ZTop= 0.00, ZBottom= 100.00, ZHeight= 100.00");

  r.w.texts[Control::txtStepSize] = "ten";
  r.form.Dispatch(Command::cmdSetStepSize);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.StepSize, 40.0);

  // A count beyond 32 bits is an overflow, trapped like the rest.
  r.w.texts[Control::txtStepSize] = "1e-300";
  r.form.Dispatch(Command::cmdSetStepSize);
  EXPECT_EQ(r.w.Status(), "Error");
  EXPECT_EQ(r.set.NumPlanes, 4);
}

TEST_F(Commands, ShowAndHideLeaveTheStatusLineAlone) {
  r.w.texts[kStatusLine] = "kept";
  r.zs.replies["Show"] = "shown";
  r.form.Dispatch(Command::mnuShowZServ);
  r.form.Dispatch(Command::mnuHideZServ);
  EXPECT_EQ(r.Sent(), (Strings{"Show", "Hide"}));
  EXPECT_EQ(r.w.Status(), "kept");
}

TEST_F(Commands, LogViewBeforeAnyRunDoesNothing) {
  r.form.Dispatch(Command::mnuZLog);
  EXPECT_TRUE(r.desk.events.empty());
  EXPECT_TRUE(r.w.statusHistory.empty());
}

TEST_F(Commands, LogViewPastesTheLogIntoANewEditor) {
  r.run.ZLog = "Planes 1, Step = -1.00 ;\r\n#1, Z=5\r\n";
  r.w.texts[kStatusLine] = "kept";
  r.form.Dispatch(Command::mnuZLog);
  EXPECT_EQ(r.desk.events, (Strings{"clipboard " + r.run.ZLog, "start notepad.exe", "activate 4242",
                                    "text focus 4242", "keys 1"}));
  ASSERT_EQ(r.desk.sent.size(), 1u);
  EXPECT_EQ(r.desk.sent[0], ParseKeys("^V"));
  EXPECT_EQ(r.desk.sent[0][0].modifiers, kModCtrl);
  EXPECT_EQ(r.desk.sentTo, std::vector<int32_t>{4242});
  EXPECT_EQ(r.w.Status(), "kept");
}

TEST_F(Commands, LogViewPastesOnlyIntoTheEditor) {
  r.run.ZLog = "log\r\n";
  r.desk.refuseFocus = true;
  int activations = 0;
  // Another window keeps the front at the first activation and yields at the second.
  r.desk.onActivate = [&](int32_t task) { r.desk.foreground = ++activations == 2 ? task : 1; };
  r.form.Dispatch(Command::mnuZLog);
  EXPECT_EQ(activations, 2);
  EXPECT_EQ(r.desk.sentTo, std::vector<int32_t>{4242});

  // The editor never comes to the front: nothing is typed anywhere.
  r.desk.events.clear();
  r.desk.sent.clear();
  r.desk.onActivate = [&](int32_t) { r.desk.foreground = 1; };
  r.form.Dispatch(Command::mnuZLog);
  EXPECT_TRUE(r.desk.sent.empty());
  EXPECT_EQ(r.desk.events, (Strings{"clipboard log\r\n", "start notepad.exe", "activate 4243",
                                    "text focus 4243", "activate 4243"}));
  EXPECT_EQ(r.w.Status(), "The text editor did not come to the front; the log is on the clipboard");
}

TEST_F(Commands, EveryLogViewThatCouldNotPasteSaysTheLogIsOnTheClipboard) {
  r.run.ZLog = "log\r\n";
  const auto statusAfter = [&](auto&& arrange) {
    r.desk.failStart = false;
    r.desk.activation = TaskActivation::Asked;
    r.desk.failKeys.clear();
    r.desk.textFocus = true;
    r.desk.sent.clear();
    arrange();
    r.form.Dispatch(Command::mnuZLog);
    EXPECT_EQ(r.desk.clipboard, "log\r\n");
    return r.w.Status();
  };
  const std::string suffix = "; the log is on the clipboard";
  EXPECT_EQ(statusAfter([&] { r.desk.failStart = true; }), "cannot start notepad.exe" + suffix);
  EXPECT_EQ(statusAfter([&] { r.desk.activation = TaskActivation::NoWindow; }),
            "The text editor shows no window" + suffix);
  EXPECT_EQ(statusAfter([&] { r.desk.activation = TaskActivation::Ended; }),
            "The text editor has ended" + suffix);
  EXPECT_EQ(statusAfter([&] { r.desk.failKeys = "not taken"; }), "not taken" + suffix);
  // An editor still loading, or with the focus outside its text, would lose the paste.
  EXPECT_EQ(statusAfter([&] { r.desk.textFocus = false; }),
            "The text editor was not ready for the paste" + suffix);
  EXPECT_TRUE(r.desk.sent.empty());
}

struct Options : Commands {};

TEST_F(Options, EachPromptShowsItsTitleTextAndCurrentValue) {
  r.form.Dispatch(Command::mnuDelayKey);
  r.form.Dispatch(Command::mnuTriggerHold);
  r.form.Dispatch(Command::mnuFujiCapKey);
  ASSERT_EQ(r.prompt.asked.size(), 3u);
  EXPECT_EQ(r.prompt.asked[0].title, "Capture Key Delay");
  EXPECT_EQ(r.prompt.asked[0].text,
            "Enter delay between changing focus on the window and sending capture key (in msec.)");
  EXPECT_EQ(r.prompt.asked[0].defaultText, "200");
  EXPECT_EQ(r.prompt.asked[1].title, "Trigger Hold Time");
  EXPECT_EQ(r.prompt.asked[1].text, "Enter HW Trigger Hold Time (in msec.)");
  EXPECT_EQ(r.prompt.asked[1].defaultText, "500");
  EXPECT_EQ(r.prompt.asked[2].title, "Fuji Capture Key");
  EXPECT_EQ(r.prompt.asked[2].text, "Enter Fuji Capture Key: 1 for Space, 2 for Enter");
  EXPECT_EQ(r.prompt.asked[2].defaultText, "1");
}

TEST_F(Options, AnswersAreStoredAsTypedWithoutRangeTest) {
  r.w.texts[kStatusLine] = "old";
  r.prompt.answers = {"-5", " 2.5 ", "7"};
  r.form.Dispatch(Command::mnuDelayKey);
  EXPECT_EQ(r.w.Status(), "");
  r.form.Dispatch(Command::mnuTriggerHold);
  r.form.Dispatch(Command::mnuFujiCapKey);
  EXPECT_EQ(r.set.Frame.KeyDelayMs, -5);
  EXPECT_EQ(r.set.Frame.TriggerHoldMs, 2);
  EXPECT_EQ(r.set.Frame.FujiKey, 7);
  EXPECT_EQ(r.w.statusHistory, (Strings{"", "", ""}));

  r.form.Dispatch(Command::mnuDelayKey);
  EXPECT_EQ(r.prompt.asked.back().defaultText, "-5");
}

TEST_F(Options, CancelEmptyOrBadAnswerIsNotANumber) {
  r.prompt.answers = {"", "abc", "3000000000"};
  r.form.Dispatch(Command::mnuTriggerHold);  // Cancel
  r.form.Dispatch(Command::mnuTriggerHold);
  r.form.Dispatch(Command::mnuTriggerHold);
  r.form.Dispatch(Command::mnuTriggerHold);  // no answers left: Cancel
  EXPECT_EQ(r.w.statusHistory, (Strings{"", "Not a number", "", "Not a number", "", "Not a number",
                                        "", "Not a number"}));
  EXPECT_EQ(r.set.Frame.TriggerHoldMs, 500);
}

}  // namespace
}  // namespace focura
