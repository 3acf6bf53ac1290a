#pragma once

#include "acq/RunView.h"
#include "ui/Window.h"

namespace focura {

// The control that shows a box of the plan or holds a timing.
constexpr Control ControlOf(RunBox box) {
  switch (box) {
    case RunBox::Top:
      return Control::lblTop;
    case RunBox::Bottom:
      return Control::lblBot;
    case RunBox::NumPlanes:
      return Control::txtNumPlanes;
    case RunBox::StepSize:
      return Control::txtStepSize;
    case RunBox::CaptureDelay:
      return Control::txtDelay;
    case RunBox::SettleDelay:
      return Control::txtSettle;
    case RunBox::Period:
      return Control::txtPeriod;
  }
  return kStatusLine;  // not reached: every box has its control above
}

// The run's view of the main window: its status line and boxes.
class WindowRunView final : public RunView {
 public:
  explicit WindowRunView(Window& window) : window_(window) {}
  void Status(const std::string& text) override { window_.SetText(kStatusLine, text); }
  void StatusTip(const std::string& text) override { window_.SetTip(kStatusLine, text); }
  std::string BoxText(RunBox box) override { return window_.GetText(ControlOf(box)); }
  void ShowInBox(RunBox box, const std::string& text) override {
    window_.SetText(ControlOf(box), text);
  }
  void Pump() override { window_.Pump(); }

 private:
  Window& window_;
};

}  // namespace focura
