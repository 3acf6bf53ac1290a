#pragma once
// The Z server as the window keeps it for hours: when its process has gone, the command that
// found out fails (it is never repeated, since a move may already have happened), and the next
// command creates the server again and sends it "Show", "Joy On" and "Hide" first, as at start.

#include <functional>
#include <memory>
#include <string>

#include "zserver/ZServer.h"

namespace focura {

class RestartingZServer : public ZServer {
 public:
  using Factory = std::function<std::unique_ptr<ZServer>()>;

  // `first` is the server already started; `startAgain` creates a new one (it throws when it
  // cannot, with a message that says why).
  RestartingZServer(std::unique_ptr<ZServer> first, Factory startAgain);

  // Throws ZServerLost when the process went during this command. A command that finds the
  // server gone starts it again first; when that fails, the command fails with the reason and is
  // not sent, and the next command tries again. "Unload" never starts a server only to unload it.
  std::string Exec(const std::string& command) override;

  bool Running() const { return server_ != nullptr; }

 private:
  std::unique_ptr<ZServer> StartAgain(const std::string& command);

  std::unique_ptr<ZServer> server_;
  Factory startAgain_;
};

}  // namespace focura
