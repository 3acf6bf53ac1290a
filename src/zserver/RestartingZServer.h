#pragma once
// The Z server as the window keeps it for hours: when its process has gone, the command that
// found out fails (it is never repeated, since a move may already have happened), and the next
// command creates the server again and sends it "Show", "Joy On" and "Hide" first, as at start.
// A run is never carried on by a new server: while one is bound, a lost server stays lost and
// every command fails unsent until the run has ended.

#include <functional>
#include <memory>
#include <string>

#include "zserver/ZServer.h"

namespace focura {

class RestartingZServer : public ZServer {
 public:
  using Factory = std::function<std::unique_ptr<ZServer>()>;
  // Told the new server before it gets anything else, "Show" included (its own failures are its
  // own to handle).
  using FirstWords = std::function<void(ZServer& fresh)>;

  // `first` is the server already started; `startAgain` creates a new one (it throws when it
  // cannot, with a message that says why).
  RestartingZServer(std::unique_ptr<ZServer> first, Factory startAgain);

  // Throws ZServerLost when the process went during this command. A command that finds the
  // server gone starts it again first; when that fails, the command fails with the reason and is
  // not sent, and the next command tries again. "Unload" never starts a server only to unload it.
  std::string Exec(const std::string& command) override;
  void BindRun() override;
  void UnbindRun() noexcept override;

  bool Running() const { return server_ != nullptr; }
  // What a new server is told first: a trigger output that may still be on goes off.
  void OnRestart(FirstWords first) { firstWords_ = std::move(first); }
  // How often a server was started again; its position count may have been reset each time.
  int Restarts() const { return restarts_; }

 private:
  std::unique_ptr<ZServer> StartAgain(const std::string& command);

  enum class Binding { None, Pending, Bound };

  std::unique_ptr<ZServer> server_;
  Factory startAgain_;
  FirstWords firstWords_;
  int restarts_ = 0;
  Binding binding_ = Binding::None;
};

}  // namespace focura
