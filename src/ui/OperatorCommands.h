#pragma once
// The operator's commands that are neither the run nor the capture menu: the plan's ends, count
// and step, raw Z server commands, the Z server's window, the log view and the trigger options.

#include <string>

#include "acq/ZAcq.h"
#include "ui/Prompt.h"

namespace focura {

// z in plain decimal notation with a point, preceded by a blank when not negative (" 12.5",
// "-3.25"): the shortest text that reads back as z, never in exponent form.
std::string PlainDecimal(double z);

// The handlers. Use the window, the Z server and the desktop that `acq` holds.
class OperatorCommands {
 public:
  OperatorCommands(ZAcq& acq, Prompt& prompt) : acq_(acq), prompt_(prompt) {}

  void cmdExecute_Click();
  void cmdGetTopBot_Click();
  void cmdSetTop_Click();
  void cmdSetBot_Click();
  void cmdSetNum_Click();
  void cmdSetStepSize_Click();
  void mnuShowZServ_Click();
  void mnuHideZServ_Click();
  void mnuZLog_Click();
  void mnuDelayKey_Click();
  void mnuTriggerHold_Click();
  void mnuFujiCapKey_Click();

 private:
  void SetEnd(double ZAcq::*end);
  // Starts the editor, brings it to the front and pastes the clipboard into it.
  void PasteIntoNewEditor();
  void AskOption(int32_t ZAcq::*option, const std::string& title, const std::string& text);
  void Status(const std::string& text);

  ZAcq& acq_;
  Prompt& prompt_;
};

}  // namespace focura
