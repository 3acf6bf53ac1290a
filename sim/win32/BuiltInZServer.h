#pragma once
// The simulator inside the tool's own process, behind the ZServer port: what the operator gets
// when no Z server is installed. Refusals and injected failures arrive as ZServerError, as they
// would from the real server over COM.

#include <memory>
#include <string>

#include "SimHost.h"
#include "SimWindow.h"
#include "zserver/ZServer.h"

namespace zsim::win32 {

class BuiltInZServer : public focura::ZServer {
 public:
  // Uses the user's regional decimal separator; records into ZSIM_LOG when that is set.
  BuiltInZServer();
  explicit BuiltInZServer(const std::string& decimalSeparator);
  ~BuiltInZServer() override;
  BuiltInZServer(const BuiltInZServer&) = delete;
  BuiltInZServer& operator=(const BuiltInZServer&) = delete;

  std::string Exec(const std::string& command) override;

  SimHost& Host() { return host_; }
  HWND Window() const { return window_->Handle(); }

 private:
  SimHost host_;
  std::unique_ptr<SimWindow> window_;
};

}  // namespace zsim::win32
