#include "zserver/RestartingZServer.h"

#include <exception>

#include "text/Errors.h"
#include "zserver/Commands.h"
#include "zserver/ZServerErrors.h"

namespace focura {

RestartingZServer::RestartingZServer(std::unique_ptr<ZServer> first, Factory startAgain)
    : server_(std::move(first)), startAgain_(std::move(startAgain)) {}

std::unique_ptr<ZServer> RestartingZServer::StartAgain(const std::string& command) {
  std::unique_ptr<ZServer> fresh;
  try {
    if (startAgain_)
      fresh = startAgain_();
  } catch (const WindowClosed&) {
    throw;  // no failure to start: the window went meanwhile, and the handler must unwind
  } catch (const std::exception& e) {
    throw ZServerUnsent(command,
                        std::string("the Z server could not be started again: ") + e.what());
  }
  if (!fresh)
    throw ZServerUnsent(command, "the Z server has gone and cannot be started again");
  if (firstWords_)
    firstWords_(*fresh);
  for (const std::string& step : {zcmd::kShow, zcmd::kJoyOn, zcmd::kHide}) {
    try {
      fresh->Exec(step);
    } catch (const ZServerError& e) {
      // The new server is dropped: the next command starts from scratch rather than driving an
      // axis whose joystick state is unknown.
      throw ZServerUnsent(
          command, "the Z server was started again, but \"" + step + "\" failed: " + e.Message());
    }
  }
  return fresh;
}

void RestartingZServer::BindRun() {
  binding_ = Binding::Pending;
}

void RestartingZServer::UnbindRun() noexcept {
  binding_ = Binding::None;
}

std::string RestartingZServer::Exec(const std::string& command) {
  if (!server_) {
    if (command == zcmd::kUnload)
      throw ZServerError(command, "the Z server has gone");
    if (binding_ == Binding::Bound) {
      throw ZServerUnsent(command,
                          "the Z server was lost during the run and the run does not go on with "
                          "another; the next command after the run starts it again");
    }
    server_ = StartAgain(command);
    ++restarts_;
  }
  if (binding_ == Binding::Pending)
    binding_ = Binding::Bound;
  try {
    return server_->Exec(command);
  } catch (const ZServerLost&) {
    server_.reset();
    throw;
  }
}

}  // namespace focura
