#pragma once

#include "acq/RunView.h"
#include "ui/Window.h"

namespace focura {

// The run's view of the main window: its status line.
class WindowRunView final : public RunView {
 public:
  explicit WindowRunView(Window& window) : window_(window) {}
  void Status(const std::string& text) override { window_.SetText(kStatusLine, text); }
  void StatusTip(const std::string& text) override { window_.SetTip(kStatusLine, text); }
  void Pump() override { window_.Pump(); }

 private:
  Window& window_;
};

}  // namespace focura
