#include "ui/Guards.h"

#include "text/Errors.h"
#include "zserver/ZServerErrors.h"

namespace focura {

Window& GuardedWindow::Real() {
  if (closed_)
    throw WindowClosed();
  return real_;
}

std::string GuardedWindow::GetText(Control control) {
  return Real().GetText(control);
}

void GuardedWindow::SetText(Control control, const std::string& text) {
  Real().SetText(control, text);
}

void GuardedWindow::SetEnabled(Control control, bool enabled) {
  Real().SetEnabled(control, enabled);
}

void GuardedWindow::SetChecked(Control menuItem, bool checked) {
  Real().SetChecked(menuItem, checked);
}

void GuardedWindow::SetTip(Control control, const std::string& text) {
  Real().SetTip(control, text);
}

void GuardedWindow::Pump() {
  Real().Pump();
  if (closed_)
    throw WindowClosed();
}

std::string GuardedZServer::Exec(const std::string& command) {
  if (closed_)
    throw WindowClosed();
  if (!real_)
    throw ZServerError(command, "the Z server has not been created");
  return real_->Exec(command);
}

void GuardedZServer::BindRun() {
  if (real_)
    real_->BindRun();
}

void GuardedZServer::UnbindRun() noexcept {
  if (real_)
    real_->UnbindRun();
}

}  // namespace focura
