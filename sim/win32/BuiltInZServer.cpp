#include "BuiltInZServer.h"

#include "capture/PlatformError.h"
#include "sim/core/SimError.h"
#include "win32/RegionalSettings.h"
#include "zserver/ZServerErrors.h"

namespace zsim::win32 {

BuiltInZServer::BuiltInZServer() : BuiltInZServer(focura::win32::RegionalDecimalSeparator()) {}

BuiltInZServer::BuiltInZServer(const std::string& decimalSeparator) : host_(decimalSeparator) {
  if (const auto log = LogPathFromEnvironment(); !log.empty()) {
    try {
      host_.OpenLog(log);
    } catch (const SimError& e) {
      throw focura::PlatformError(e.what());
    }
  }
  window_ = std::make_unique<SimWindow>(host_);
}

BuiltInZServer::~BuiltInZServer() = default;

std::string BuiltInZServer::Exec(const std::string& command) {
  try {
    return host_.Exec(command);
  } catch (const SimError& e) {
    throw focura::ZServerError(command, e.what());
  }
}

}  // namespace zsim::win32
