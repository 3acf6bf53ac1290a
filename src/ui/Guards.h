#pragma once
// The window and the Z server as the handlers see them: once the operator has closed the window,
// every use throws WindowClosed instead of reaching the real window or the released server, so
// a handler that was waiting at a pump point unwinds without touching either again.

#include <memory>
#include <string>

#include "ui/Window.h"
#include "zserver/ZServer.h"

namespace focura {

class GuardedWindow : public Window {
 public:
  GuardedWindow(Window& real, const bool& closed) : real_(real), closed_(closed) {}

  std::string GetText(Control control) override;
  void SetText(Control control, const std::string& text) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetChecked(Control menuItem, bool checked) override;
  void SetTip(Control control, const std::string& text) override;
  // Runs the real pump; when a handler run by it closed the window, throws WindowClosed to the
  // caller that was interrupted.
  void Pump() override;

 private:
  Window& Real();

  Window& real_;
  const bool& closed_;
};

class GuardedZServer : public ZServer {
 public:
  GuardedZServer(const std::unique_ptr<ZServer>& real, const bool& closed)
      : real_(real), closed_(closed) {}

  // Throws WindowClosed once closed, ZServerError while there is no server.
  std::string Exec(const std::string& command) override;
  void BindRun() override;
  void UnbindRun() noexcept override;

 private:
  const std::unique_ptr<ZServer>& real_;
  const bool& closed_;
};

}  // namespace focura
