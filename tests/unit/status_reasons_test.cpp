// The reason beside every "Error", "Not a number", "Error Launching Capture Program" and
// "EZStepper does not respond": the status line keeps its word, its tooltip names the box or
// reply, what it held and why it was refused.

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "form_rig.h"

namespace focura {
namespace {

using testing::FormRig;

struct Case {
  const char* name;
  const char* separator;
  std::function<void(FormRig&)> arrange;
  const char* event;
  const char* word;
  const char* reason;
};

// Ends 10 and 30, five planes of 5, the timings valid, the hardware trigger launched.
void Ready(FormRig& r) {
  r.acq.ZTop = 10;
  r.acq.ZBottom = 30;
  r.acq.NumPlanes = 5;
  r.acq.StepSize = 5;
  r.w.texts["txtDelay"] = "0";
  r.w.texts["txtSettle"] = "0";
  r.w.texts["txtPeriod"] = "0";
}

void ZReply(FormRig& r, const char* reply) {
  r.zs.replies["Z ?"] = reply;
}

TEST(StatusReasons, EveryFailureWordHasItsReasonInTheTooltip) {
  const Case cases[] = {
      {"top reply empty", ".", [](FormRig& r) { ZReply(r, ""); }, "cmdSetTop", "Error",
       "Set Top: the Z server's reply \"\" has no number"},
      {"bottom reply with a decimal comma", ".", [](FormRig& r) { ZReply(r, "12,5 um"); },
       "cmdSetBot", "Error",
       "Set Bottom: the Z server's reply \"12,5 um\" has no number; this PC writes decimals "
       "with \".\""},
      {"top beyond the range", ".", [](FormRig& r) { ZReply(r, "1e999"); }, "cmdSetTop", "Error",
       "Set Top: the Z server's reply \"1e999\" holds a number beyond the number range"},
      {"ends too far apart", ".",
       [](FormRig& r) {
         r.acq.ZBottom = -1e308;
         ZReply(r, "1e308");
       },
       "cmdSetTop", "Error", "Set Top: the stack height is beyond the number range"},
      {"joystick count not a number", ".", [](FormRig& r) { r.zs.replies["Obj GetNum"] = "none"; },
       "cmdGetTopBot", "Error",
       "Get Joystick Top and Bottom: the Z server's reply \"none\" to \"Obj GetNum\" has no "
       "number"},
      {"joystick position not a number", ".",
       [](FormRig& r) {
         r.zs.replies["Obj GetNum"] = "2";
         r.zs.replies["Obj Get 1"] = "pos 1 ?";
       },
       "cmdGetTopBot", "Error",
       "Get Joystick Top and Bottom: the Z server's reply \"pos 1 ?\" to \"Obj Get 1\" has no "
       "number"},
      {"joystick query refused by the Z server", ".",
       [](FormRig& r) {
         r.zs.replies["Obj GetNum"] = "2";
         r.zs.failures["Obj Get 1"] = "no such position";
       },
       "cmdGetTopBot", "Error",
       "Get Joystick Top and Bottom: Z server command \"Obj Get 1\" failed: no such position"},
      {"joystick count without a predecessor", ".",
       [](FormRig& r) { r.zs.replies["Obj GetNum"] = "-2147483648"; }, "cmdGetTopBot", "Error",
       "Get Joystick Top and Bottom: no position before -2147483648"},
      {"planes not a number", ".", [](FormRig& r) { r.w.texts["txtNumPlanes"] = "five"; },
       "cmdSetNum", "Error", "Set Num. of Planes: \"five\" is not a number"},
      {"planes box empty", ".", [](FormRig& r) { r.w.texts["txtNumPlanes"] = "  "; }, "cmdSetNum",
       "Error", "Set Num. of Planes: the box is empty"},
      {"planes beyond a count", ".", [](FormRig& r) { r.w.texts["txtNumPlanes"] = "40000"; },
       "cmdSetNum", "Error",
       "Set Num. of Planes: \"40000\" is beyond the range of a count (-32768 to 32767)"},
      {"one plane", ".",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtNumPlanes"] = "1";
       },
       "cmdSetNum", "Error",
       "Set Num. of Planes: 1 plane gives no step: the ends need at least 2 planes"},
      {"no planes", ".",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtNumPlanes"] = "0";
       },
       "cmdSetNum", "Error", "Set Num. of Planes: 0 planes: a stack needs at least 2"},
      {"planes without a top", ".",
       [](FormRig& r) {
         r.acq.ZBottom = 30;
         r.w.texts["txtNumPlanes"] = "3";
       },
       "cmdSetNum", "Error", "Set Num. of Planes: the top is not set (Set Top)"},
      {"step of zero", ".",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtStepSize"] = "0";
       },
       "cmdSetStepSize", "Error", "Set Step Size (um): a step of 0.00 is not above 0"},
      {"step with equal ends", ".",
       [](FormRig& r) {
         Ready(r);
         r.acq.ZBottom = 10;
         r.w.texts["txtStepSize"] = "2";
       },
       "cmdSetStepSize", "Error",
       "Set Step Size (um): top and bottom are both 10.00: the stack has no height"},
      {"step giving too many planes", ".",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtStepSize"] = "1e-300";
       },
       "cmdSetStepSize", "Error",
       "Set Step Size (um): a step of 0.00 gives more planes than a count can hold "
       "(2147483647)"},
      {"settle delay with a decimal point on a comma PC", ",",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtSettle"] = "0.5";
       },
       "cmdFocura", "Error",
       "Settle Delay (sec.): \"0.5\" is not a number; this PC writes decimals with \",\""},
      {"period box empty", ".",
       [](FormRig& r) {
         Ready(r);
         r.w.texts["txtPeriod"] = "";
       },
       "cmdFocura", "Error", "Period (sec.): the box is empty"},
      {"run without ends", ".",
       [](FormRig& r) {
         Ready(r);
         r.acq.ZTop = NotSetD;
         r.acq.ZBottom = NotSetD;
       },
       "cmdFocura", "Error",
       "Acquire Z Stack: neither end is set (Set Top and Set Bottom, or Get Joystick Top and "
       "Bottom)"},
      {"run without a step", ".",
       [](FormRig& r) {
         Ready(r);
         r.acq.StepSize = NotSetD;
       },
       "cmdFocura", "Error",
       "Acquire Z Stack: the step is not set (Set Num. of Planes or Set Step Size)"},
      {"key delay not a number", ".", [](FormRig& r) { r.prompt.answers = {"fast"}; },
       "mnuDelayKey", "Not a number", "Capture Key Delay: \"fast\" is not a number"},
      {"hold time beyond 32 bits", ".", [](FormRig& r) { r.prompt.answers = {"3e9"}; },
       "mnuTriggerHold", "Not a number",
       "Trigger Hold Time: \"3e9\" is beyond the range -2147483648 to 2147483647"},
      {"Fuji key prompt cancelled", ".", [](FormRig&) {}, "mnuFujiCapKey", "Not a number",
       "Fuji Capture Key: the answer was empty (or the prompt was cancelled)"},
      {"controller answers something else", ".",
       [](FormRig& r) {
         r.form.Dispatch(Command::mnuHWT);
         r.zs.replies["CON /2&"] = "?\r";
       },
       "cmdLaunchCapture", "EZStepper does not respond",
       "Hardware Trigger: the reply to \"CON /2&\" was \"?\\r\", without \"EZStepper\""},
      {"program fails to start", ".",
       [](FormRig& r) {
         r.form.Dispatch(Command::mnuEOSUtil);
         r.files.programs.insert("C:\\Program Files\\Canon\\EOS Utility\\EOS Utility.exe");
         r.desk.failStart = true;
       },
       "cmdLaunchCapture", "Error Launching Capture Program",
       "Canon EOS Utility: cannot start \"C:\\Program Files\\Canon\\EOS Utility\\EOS "
       "Utility.exe\""},
      {"custom method without a command line", ".",
       [](FormRig& r) {
         r.acq.CaptureType = 5;
         r.acq.CaptureProgPath = "  ";
       },
       "cmdLaunchCapture", "Error Launching Capture Program",
       "From captureprogpath.txt: no command line"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FormRig r(c.separator);
    r.LoadAndForget();
    c.arrange(r);
    r.DispatchNamed(c.event);
    EXPECT_EQ(r.w.Status(), c.word);
    EXPECT_EQ(r.w.StatusTip(), c.reason);
  }
}

TEST(StatusReasons, AReasonLastsOnlyAsLongAsItsWord) {
  FormRig r;
  r.LoadAndForget();
  r.w.texts["txtNumPlanes"] = "x";
  r.form.Dispatch(Command::cmdSetNum);
  ASSERT_EQ(r.w.StatusTip(), "Set Num. of Planes: \"x\" is not a number");
  // A good plan after it: the summary replaces the word, and nothing of the old reason stays.
  Ready(r);
  r.w.texts["txtNumPlanes"] = "3";
  r.form.Dispatch(Command::cmdSetNum);
  EXPECT_EQ(r.w.Status(), "ZTop= 10.00, ZBottom= 30.00, ZHeight= 20.00");
  EXPECT_EQ(r.w.StatusTip(), "");
}

}  // namespace
}  // namespace focura
