// The reason beside every "Error", "Not a number", "Error Launching Capture Program" and
// "EZStepper does not respond": the status line keeps its word, its tooltip names the box or
// reply, what it held and why it was refused.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "form_rig.h"

namespace focura {
namespace {

using testing::FormRig;
using Arrange = std::function<void(FormRig&)>;

// Ends 10 and 30, five planes of 5, the timings valid: a plan each row spoils in one place.
void Ready(FormRig& r) {
  r.set.ZTop = 10;
  r.set.ZBottom = 30;
  r.set.NumPlanes = 5;
  r.set.StepSize = 5;
  r.w.texts = {{Control::txtDelay, "0"}, {Control::txtSettle, "0"}, {Control::txtPeriod, "0"}};
}

Arrange Box(Control box, const std::string& text) {
  return [=](FormRig& r) { r.w.texts[box] = text; };
}
Arrange Reply(const std::string& command, const std::string& reply) {
  return [=](FormRig& r) { r.zs.replies[command] = reply; };
}
Arrange Fails(const std::string& command, const std::string& reason) {
  return [=](FormRig& r) { r.zs.failures[command] = reason; };
}
Arrange Answer(const std::string& answer) {
  return [=](FormRig& r) { r.prompt.answers = {answer}; };
}
template <class T, class Record>
Arrange Set(T Record::*field, std::type_identity_t<T> value) {
  return [=](FormRig& r) { r.set.*field = value; };
}
Arrange Menu(Command item) {
  return [=](FormRig& r) { r.form.Dispatch(item); };
}
Arrange All(const std::vector<Arrange>& steps) {
  return [=](FormRig& r) {
    for (const Arrange& step : steps)
      step(r);
  };
}

TEST(StatusReasons, EveryFailureWordHasItsReasonInTheTooltip) {
  struct Case {
    Command event;
    Arrange arrange;  // after Ready; none: the event alone
    const char* reason;
    const char* word = "Error";
    const char* separator = ".";
  };
  const Case cases[] = {
      {Command::cmdSetTop, Reply("Z ?", ""), "Set Top: the Z server's reply \"\" has no number"},
      {Command::cmdSetBot, Reply("Z ?", "12,5 um"),
       "Set Bottom: the Z server's reply \"12,5 um\" has no number; this PC writes decimals "
       "with \".\""},
      {Command::cmdSetTop, Reply("Z ?", "1e999"),
       "Set Top: the Z server's reply \"1e999\" holds a number beyond the number range"},
      {Command::cmdSetTop, All({Set(&AcqSettings::ZBottom, -1e308), Reply("Z ?", "1e308")}),
       "Set Top: the stack height is beyond the number range"},
      {Command::cmdGetTopBot, Reply("Obj GetNum", "none"),
       "Get Joystick Top and Bottom: the Z server's reply \"none\" to \"Obj GetNum\" has no "
       "number"},
      {Command::cmdGetTopBot, All({Reply("Obj GetNum", "2"), Reply("Obj Get 1", "pos 1 ?")}),
       "Get Joystick Top and Bottom: the Z server's reply \"pos 1 ?\" to \"Obj Get 1\" has no "
       "number"},
      {Command::cmdGetTopBot,
       All({Reply("Obj GetNum", "2"), Fails("Obj Get 1", "no such position")}),
       "Get Joystick Top and Bottom: Z server command \"Obj Get 1\" failed: no such position"},
      {Command::cmdGetTopBot, Reply("Obj GetNum", "-2147483648"),
       "Get Joystick Top and Bottom: no position before -2147483648"},
      {Command::cmdSetNum, Box(Control::txtNumPlanes, "five"),
       "Set Num. of Planes: \"five\" is not a number"},
      {Command::cmdSetNum, Box(Control::txtNumPlanes, "  "),
       "Set Num. of Planes: the box is empty"},
      {Command::cmdSetNum, Box(Control::txtNumPlanes, "40000"),
       "Set Num. of Planes: \"40000\" is beyond the range of a count (-32768 to 32767)"},
      {Command::cmdSetNum, Box(Control::txtNumPlanes, "1"),
       "Set Num. of Planes: 1 plane gives no step: the ends need at least 2 planes"},
      {Command::cmdSetNum, Box(Control::txtNumPlanes, "0"),
       "Set Num. of Planes: 0 planes: a stack needs at least 2"},
      {Command::cmdSetNum, All({Set(&AcqSettings::ZTop, NotSetD), Box(Control::txtNumPlanes, "3")}),
       "Set Num. of Planes: the top is not set (Set Top)"},
      {Command::cmdSetStepSize, Box(Control::txtStepSize, "0"),
       "Set Step Size (um): a step of 0.00 is not above 0"},
      {Command::cmdSetStepSize,
       All({Set(&AcqSettings::ZBottom, 10), Box(Control::txtStepSize, "2")}),
       "Set Step Size (um): top and bottom are both 10.00: the stack has no height"},
      {Command::cmdSetStepSize, Box(Control::txtStepSize, "1e-300"),
       "Set Step Size (um): a step of 0.00 gives more planes than a count can hold "
       "(2147483647)"},
      {Command::cmdFocura, Box(Control::txtSettle, "0.5"),
       "Settle Delay (sec.): \"0.5\" is not a number; this PC writes decimals with \",\"", "Error",
       ","},
      {Command::cmdFocura, Box(Control::txtPeriod, ""), "Period (sec.): the box is empty"},
      {Command::cmdFocura,
       All({Set(&AcqSettings::ZTop, NotSetD), Set(&AcqSettings::ZBottom, NotSetD)}),
       "Acquire Z Stack: neither end is set (Set Top and Set Bottom, or Get Joystick Top and "
       "Bottom)"},
      {Command::cmdFocura, Set(&AcqSettings::StepSize, NotSetD),
       "Acquire Z Stack: the step is not set (Set Num. of Planes or Set Step Size)"},
      {Command::mnuDelayKey, Answer("fast"), "Capture Key Delay: \"fast\" is not a number",
       "Not a number"},
      {Command::mnuTriggerHold, Answer("3e9"),
       "Trigger Hold Time: \"3e9\" is beyond the range -2147483648 to 2147483647", "Not a number"},
      {Command::mnuFujiCapKey, nullptr,
       "Fuji Capture Key: the answer was empty (or the prompt was cancelled)", "Not a number"},
      {Command::cmdLaunchCapture, All({Menu(Command::mnuHWT), Reply("CON /2&", "?\r")}),
       "Hardware Trigger: the reply to \"CON /2&\" was \"?\\r\", without \"EZStepper\"",
       "EZStepper does not respond"},
      {Command::cmdLaunchCapture,
       [](FormRig& r) {
         r.form.Dispatch(Command::mnuEOSUtil);
         r.files.programs.insert("C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe");
         r.desk.failStart = true;
       },
       "Canon EOS Utility: cannot start \"C:\\Program Files\\Canon\\EOS Utility\\EOS "
       "Utility.exe\"",
       "Error Launching Capture Program"},
      {Command::cmdLaunchCapture,
       All({[](FormRig& r) { r.set.Frame.CaptureType = 5; },
            Set(&AcqSettings::CaptureProgPath, "  ")}),
       "From captureprogpath.txt: no command line", "Error Launching Capture Program"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    FormRig r(c.separator);
    r.LoadAndForget();
    Ready(r);
    if (c.arrange)
      c.arrange(r);
    r.form.Dispatch(c.event);
    EXPECT_EQ(r.w.Status(), c.word);
    EXPECT_EQ(r.w.StatusTip(), c.reason);
  }
}

TEST(StatusReasons, AReasonLastsOnlyAsLongAsItsWord) {
  FormRig r;
  r.LoadAndForget();
  Ready(r);
  r.w.texts[Control::txtNumPlanes] = "x";
  r.form.Dispatch(Command::cmdSetNum);
  ASSERT_EQ(r.w.StatusTip(), "Set Num. of Planes: \"x\" is not a number");
  // A good plan after it: the summary replaces the word, and nothing of the old reason stays.
  r.w.texts[Control::txtNumPlanes] = "3";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.w.Status(), "ZTop= 10.00, ZBottom= 30.00, ZHeight= 20.00");
  EXPECT_EQ(r.w.StatusTip(), "");
}

}  // namespace
}  // namespace focura
