#pragma once
// The operator's commands that are neither the run nor the capture menu: the plan's ends, count
// and step, raw Z server commands, the Z server's window, the log view and the trigger options.

#include <functional>
#include <string>

#include "acq/Refusals.h"
#include "acq/ZAcq.h"
#include "capture/Desktop.h"
#include "text/PlainDecimal.h"
#include "ui/Prompt.h"
#include "ui/Window.h"
#include "zserver/ZServer.h"

namespace focura {

// The handlers. They change the settings in `acq` and use the ports given here.
class OperatorCommands {
 public:
  OperatorCommands(ZAcq& acq, Window& window, ZServer& zserver, Desktop& desktop, Prompt& prompt)
      : acq_(acq), window_(window), zserver_(zserver), desktop_(desktop), prompt_(prompt) {}

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
  void SetEnd(double AcqSettings::*end, const std::string& what);
  // Stores the number typed in `box` through `store`, then derives and stores the other plan
  // field through `derive`, which answers why it could not ("" when it could).
  void SetPlanField(const std::string& what, Control box, NumberKind kind,
                    const std::function<void(double)>& store,
                    const std::function<std::string()>& derive);
  // Starts the editor, brings it to the front and pastes the clipboard into it.
  void PasteIntoNewEditor();
  void AskOption(int32_t FrameSettings::*option, const std::string& title, const std::string& text);
  void Status(const std::string& text);
  // The failure word in the status line, the reason in its tooltip.
  void Refuse(const std::string& word, const std::string& reason);

  ZAcq& acq_;
  Window& window_;
  ZServer& zserver_;
  Desktop& desktop_;
  Prompt& prompt_;
};

}  // namespace focura
