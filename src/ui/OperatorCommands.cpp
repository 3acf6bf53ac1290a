#include "ui/OperatorCommands.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <limits>

#include "capture/KeyNotation.h"
#include "text/Errors.h"
#include "zserver/Commands.h"
#include "zserver/SplitReply.h"

namespace focura {

namespace {

const std::string kError = "Error";
const std::string kNotANumber = "Not a number";
const std::string kEditor = "notepad.exe";
const std::string kPasteKeys = "^V";

// Runs `region`; a failure of the core's own (a closed window excepted, which must unwind the
// handler) calls `onFailure` instead.
template <typename Region, typename OnFailure>
void Trap(Region&& region, OnFailure&& onFailure) {
  try {
    region();
  } catch (const WindowClosed&) {
    throw;
  } catch (const FocuraError&) {
    onFailure();
  }
}

}  // namespace

std::string PlainDecimal(double z) {
  if (z == 0)
    return " 0";  // also -0: not negative
  std::array<char, 1100> buf{};
  const auto [end, ec] =
      std::to_chars(buf.data(), buf.data() + buf.size(), z, std::chars_format::fixed);
  if (ec != std::errc())
    throw ArithmeticError("number too long to show");
  std::string text(buf.data(), end);
  return z < 0 ? text : " " + text;
}

void OperatorCommands::Status(const std::string& text) {
  acq_.Win.SetText(kStatusLine, text);
}

void OperatorCommands::cmdExecute_Click() {
  // Sent exactly as typed: blanks may matter to the Z server.
  Status(acq_.ZServ.Exec(acq_.Win.GetText("txtCommand")));
}

void OperatorCommands::cmdGetTopBot_Click() {
  std::string reply = acq_.ZServ.Exec(zcmd::kObjGetNum);
  Status(reply);
  acq_.Win.Pump();

  Trap(
      [&] {
        const int32_t n = acq_.Num.ToInt32(ReplyToken(reply, 1));
        Status(zcmd::S(n));
        if (n == std::numeric_limits<int32_t>::min()) {
          throw ArithmeticError("no position before " + zcmd::S(n));
        }

        reply = acq_.ZServ.Exec(zcmd::ObjGet(n - 1));
        Status(reply);
        acq_.Win.Pump();
        const double z1 = acq_.Num.ToDouble(ReplyToken(reply, 3));
        Status(PlainDecimal(z1));

        reply = acq_.ZServ.Exec(zcmd::ObjGet(n));
        Status(reply);
        acq_.Win.Pump();
        const double z2 = acq_.Num.ToDouble(ReplyToken(reply, 3));

        acq_.ZTop = z1 > z2 ? z2 : z1;
        acq_.ZBottom = z1 > z2 ? z1 : z2;
        acq_.ShowPlan();
      },
      [&] { Status(kError); });
}

void OperatorCommands::SetEnd(double ZAcq::*end) {
  const std::string reply = acq_.ZServ.Exec(zcmd::kWhere);
  const std::string token = ReplyToken(reply, 1);
  Trap(
      [&] {
        acq_.*end = acq_.Num.ToDouble(token);
        acq_.ShowPlan();
      },
      [&] { Status(kError); });
}

void OperatorCommands::cmdSetTop_Click() {
  SetEnd(&ZAcq::ZTop);
}

void OperatorCommands::cmdSetBot_Click() {
  SetEnd(&ZAcq::ZBottom);
}

void OperatorCommands::cmdSetNum_Click() {
  Trap(
      [&] {
        // The count is typed into a 16-bit field; it stays stored when the derivation fails.
        acq_.NumPlanes = acq_.Num.ToInt16(acq_.Win.GetText("txtNumPlanes"));
        if (acq_.StepFromPlanes() < 0) {
          Status(kError);
        } else {
          acq_.ShowPlan();
        }
      },
      [&] { Status(kError); });
}

void OperatorCommands::cmdSetStepSize_Click() {
  Trap(
      [&] {
        acq_.StepSize = acq_.Num.ToDouble(acq_.Win.GetText("txtStepSize"));
        if (acq_.PlanesFromStep() < 0) {
          Status(kError);
        } else {
          acq_.ShowPlan();
        }
      },
      [&] { Status(kError); });
}

void OperatorCommands::mnuShowZServ_Click() {
  acq_.ZServ.Exec(zcmd::kShow);
}

void OperatorCommands::mnuHideZServ_Click() {
  acq_.ZServ.Exec(zcmd::kHide);
}

void OperatorCommands::mnuZLog_Click() {
  if (acq_.ZLog.empty())
    return;
  acq_.Desk.SetClipboardText(acq_.ZLog);
  // From here on the operator can always paste the log by hand, and is told so whenever the
  // paste could not be done.
  try {
    PasteIntoNewEditor();
  } catch (const WindowClosed&) {
    throw;
  } catch (const FocuraError& e) {
    throw PlatformError(std::string(e.what()) + "; the log is on the clipboard");
  }
}

void OperatorCommands::PasteIntoNewEditor() {
  const int32_t task = acq_.Desk.StartProgram(kEditor);
  const auto activate = [&] {
    switch (acq_.Desk.ActivateTask(task)) {
      case TaskActivation::Asked:
        return;
      case TaskActivation::NoWindow:
        throw PlatformError("The text editor shows no window");
      case TaskActivation::Ended:
        throw PlatformError("The text editor has ended");
    }
  };
  activate();
  // A window that is up may still be busy loading, or the focus not yet in its text: the paste
  // would then be lost.
  if (!acq_.Desk.WaitTaskTextFocus(task))
    throw PlatformError("The text editor was not ready for the paste");
  // Ctrl+V pasted into whatever else has the focus could do anything there.
  if (!acq_.Desk.IsTaskForeground(task)) {
    activate();
    if (!acq_.Desk.IsTaskForeground(task))
      throw PlatformError("The text editor did not come to the front");
  }
  acq_.Desk.SendKeys(ParseKeys(kPasteKeys));
}

void OperatorCommands::AskOption(int32_t ZAcq::*option, const std::string& title,
                                 const std::string& text) {
  Status("");
  const std::string answer = prompt_.Ask(title, text, acq_.Num.Format0(acq_.*option));
  Trap([&] { acq_.*option = acq_.Num.ToInt32(answer); }, [&] { Status(kNotANumber); });
}

void OperatorCommands::mnuDelayKey_Click() {
  AskOption(&ZAcq::KeyDelayMs, "Capture Key Delay",
            "Enter delay between changing focus on the window and sending capture key (in msec.)");
}

void OperatorCommands::mnuTriggerHold_Click() {
  AskOption(&ZAcq::TriggerHoldMs, "Trigger Hold Time", "Enter HW Trigger Hold Time (in msec.)");
}

void OperatorCommands::mnuFujiCapKey_Click() {
  AskOption(&ZAcq::FujiKey, "Fuji Capture Key", "Enter Fuji Capture Key: 1 for Space, 2 for Enter");
}

}  // namespace focura
