#pragma once

#include "acq/RunView.h"
#include "ui/Window.h"

namespace focura {

// The run's view of the main window: its status line and boxes.
class WindowRunView final : public RunView {
 public:
  explicit WindowRunView(Window& window) : window_(window) {}
  void Status(const std::string& text) override { window_.SetText(kStatusLine, text); }
  void StatusTip(const std::string& text) override { window_.SetTip(kStatusLine, text); }
  std::string BoxText(const std::string& box) override { return window_.GetText(box); }
  void ShowInBox(const std::string& box, const std::string& text) override {
    window_.SetText(box, text);
  }
  void Pump() override { window_.Pump(); }

 private:
  Window& window_;
};

}  // namespace focura
