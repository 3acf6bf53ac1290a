#include "ui/OperatorCommands.h"

#include <cstdint>
#include <limits>

#include "acq/Refusals.h"
#include "acq/StackPlan.h"
#include "capture/KeyNotation.h"
#include "capture/PlatformError.h"
#include "capture/TaskFront.h"
#include "text/Errors.h"
#include "text/PlainDecimal.h"
#include "ui/PlanView.h"
#include "zserver/Commands.h"
#include "zserver/SplitReply.h"

namespace focura {

namespace {

const std::string kError = "Error";
const std::string kNotANumber = "Not a number";
const std::string kEditor = "notepad.exe";
const std::string kPasteKeys = "^V";

// Runs `region`; a failure of the core's own calls `onFailure` with it instead. A closed window is
// none and unwinds the handler.
template <typename Region, typename OnFailure>
void Trap(Region&& region, OnFailure&& onFailure) {
  try {
    region();
  } catch (const FocuraError& e) {
    onFailure(e);
  }
}

// The overflow texts start with the kind of failure; the reason reads without it.
std::string WithoutKind(const std::string& what) {
  for (const std::string kind : {"Overflow: ", "Division by zero: "}) {
    if (what.rfind(kind, 0) == 0)
      return what.substr(kind.size());
  }
  return what;
}

}  // namespace

void OperatorCommands::Status(const std::string& text) {
  window_.SetText(kStatusLine, text);
}

void OperatorCommands::Refuse(const std::string& word, const std::string& reason) {
  window_.SetText(kStatusLine, word);
  window_.SetTip(kStatusLine, reason);
}

void OperatorCommands::cmdExecute_Click() {
  // Sent exactly as typed: blanks may matter to the Z server.
  Status(zserver_.Exec(window_.GetText(Control::txtCommand)));
}

void OperatorCommands::cmdGetTopBot_Click() {
  static const std::string kWhat = "Get Joystick Top and Bottom";
  std::string reply = zserver_.Exec(zcmd::kObjGetNum);
  Status(reply);
  window_.Pump();

  // What the failing step was reading, for the reason behind "Error".
  std::string command = zcmd::kObjGetNum;
  std::string token;
  bool replyRead = true;
  Trap(
      [&] {
        token = ReplyToken(reply, 1);
        const int32_t n = acq_.Num.ToInt32(token);
        Status(zcmd::S(n));
        if (n == std::numeric_limits<int32_t>::min()) {
          throw ArithmeticError("no position before " + zcmd::S(n));
        }

        command = zcmd::ObjGet(n - 1);
        replyRead = false;
        reply = zserver_.Exec(command);
        replyRead = true;
        Status(reply);
        window_.Pump();
        token = ReplyToken(reply, 3);
        const double z1 = acq_.Num.ToDouble(token);
        Status(PlainDecimal(z1));

        command = zcmd::ObjGet(n);
        replyRead = false;
        reply = zserver_.Exec(command);
        replyRead = true;
        Status(reply);
        window_.Pump();
        token = ReplyToken(reply, 3);
        const double z2 = acq_.Num.ToDouble(token);

        acq_.Settings.ZTop = z1 > z2 ? z2 : z1;
        acq_.Settings.ZBottom = z1 > z2 ? z1 : z2;
        ShowPlan(acq_.Settings, window_, acq_.Num);
      },
      [&](const FocuraError& e) {
        // A conversion fails only on a reply; the Z server's own failures carry their text.
        const bool badReply = replyRead && dynamic_cast<const ConversionError*>(&e) != nullptr;
        Refuse(kError, badReply ? ReplyRefusal(acq_.Num, kWhat, reply, command, token)
                                : kWhat + ": " + WithoutKind(e.what()));
      });
}

void OperatorCommands::SetEnd(double AcqSettings::*end, const std::string& what) {
  const std::string reply = zserver_.Exec(zcmd::kWhere);
  const std::string token = ReplyToken(reply, 1);
  bool converted = false;
  Trap(
      [&] {
        acq_.Settings.*end = acq_.Num.ToDouble(token);
        converted = true;
        ShowPlan(acq_.Settings, window_, acq_.Num);
      },
      [&](const FocuraError& e) {
        Refuse(kError, converted ? what + ": " + WithoutKind(e.what())
                                 : ReplyRefusal(acq_.Num, what, reply, "", token));
      });
}

void OperatorCommands::cmdSetTop_Click() {
  SetEnd(&AcqSettings::ZTop, "Set Top");
}

void OperatorCommands::cmdSetBot_Click() {
  SetEnd(&AcqSettings::ZBottom, "Set Bottom");
}

void OperatorCommands::SetPlanField(const std::string& what, Control box, NumberKind kind,
                                    const std::function<void(double)>& store,
                                    const std::function<std::string()>& derive) {
  std::string text;
  bool converted = false;
  Trap(
      [&] {
        text = window_.GetText(box);
        store(kind == NumberKind::Count16 ? acq_.Num.ToInt16(text) : acq_.Num.ToDouble(text));
        converted = true;
        if (const std::string refusal = derive(); !refusal.empty()) {
          Refuse(kError, what + ": " + refusal);
        } else {
          ShowPlan(acq_.Settings, window_, acq_.Num);
        }
      },
      [&](const FocuraError& e) {
        Refuse(kError, converted ? what + ": " + WithoutKind(e.what())
                                 : BoxRefusal(acq_.Num, what, text, kind));
      });
}

void OperatorCommands::cmdSetNum_Click() {
  // The count is typed into a 16-bit field; it stays stored when the derivation fails.
  SetPlanField(
      "Set Num. of Planes", Control::txtNumPlanes, NumberKind::Count16,
      [&](double n) { acq_.Settings.NumPlanes = static_cast<int16_t>(n); },
      [&] {
        const Planned<double> step = StepFromPlanes(acq_.Settings, acq_.Num);
        if (step.Ok())
          acq_.Settings.StepSize = step.Value();
        return step.Reason();
      });
}

void OperatorCommands::cmdSetStepSize_Click() {
  SetPlanField(
      "Set Step Size (um)", Control::txtStepSize, NumberKind::Real,
      [&](double step) { acq_.Settings.StepSize = step; },
      [&] {
        const Planned<int32_t> planes = PlanesFromStep(acq_.Settings, acq_.Num);
        if (planes.Ok())
          acq_.Settings.NumPlanes = planes.Value();
        return planes.Reason();
      });
}

void OperatorCommands::mnuShowZServ_Click() {
  zserver_.Exec(zcmd::kShow);
}

void OperatorCommands::mnuHideZServ_Click() {
  zserver_.Exec(zcmd::kHide);
}

void OperatorCommands::mnuZLog_Click() {
  if (acq_.Run.ZLog.empty())
    return;
  desktop_.SetClipboardText(acq_.Run.ZLog);
  // From here on the operator can always paste the log by hand, and is told so whenever the
  // paste could not be done.
  try {
    PasteIntoNewEditor();
  } catch (const FocuraError& e) {
    throw PlatformError(std::string(e.what()) + "; the log is on the clipboard");
  }
}

void OperatorCommands::PasteIntoNewEditor() {
  const int32_t task = desktop_.StartProgram(kEditor);
  const TaskLabel editor{"The text editor", ""};
  ActivateOrThrow(desktop_, task, editor);
  // A window that is up may still be busy loading, or the focus not yet in its text: the paste
  // would then be lost.
  if (!desktop_.WaitTaskTextFocus(task))
    throw PlatformError("The text editor was not ready for the paste");
  // Ctrl+V pasted into whatever else has the focus could do anything there.
  if (!HoldsFront(desktop_, task, editor, [] {}))
    throw PlatformError("The text editor did not come to the front");
  desktop_.SendKeys(ParseKeys(kPasteKeys));
}

void OperatorCommands::AskOption(int32_t FrameSettings::*option, const std::string& title,
                                 const std::string& text) {
  Status("");
  const std::string answer =
      prompt_.Ask(title, text, acq_.Num.Format0(acq_.Settings.Frame.*option));
  Trap([&] { acq_.Settings.Frame.*option = acq_.Num.ToInt32(answer); },
       [&](const FocuraError&) {
         // Cancel answers "" as well: the prompt cannot tell the two apart.
         Refuse(kNotANumber, answer.empty()
                                 ? title + ": the answer was empty (or the prompt was cancelled)"
                                 : BoxRefusal(acq_.Num, title, answer, NumberKind::Whole32));
       });
}

void OperatorCommands::mnuDelayKey_Click() {
  AskOption(&FrameSettings::KeyDelayMs, "Capture Key Delay",
            "Enter delay between changing focus on the window and sending capture key (in msec.)");
}

void OperatorCommands::mnuTriggerHold_Click() {
  AskOption(&FrameSettings::TriggerHoldMs, "Trigger Hold Time",
            "Enter HW Trigger Hold Time (in msec.)");
}

void OperatorCommands::mnuFujiCapKey_Click() {
  AskOption(&FrameSettings::FujiKey, "Fuji Capture Key",
            "Enter Fuji Capture Key: 1 for Space, 2 for Enter");
}

}  // namespace focura
