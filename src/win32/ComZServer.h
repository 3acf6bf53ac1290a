#pragma once
// The Z server reached through COM automation: late binding to its method "Exec".

#include <windows.h>
// After windows.h, which they need.
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

#include "capture/PlatformError.h"
#include "win32/ComBusy.h"
#include "zserver/ZServer.h"
#include "zserver/ZServerErrors.h"

namespace focura::win32 {

// The Z server object could not be created; what() names the ProgID and the reason.
struct ZServerUnavailable : PlatformError {
  ZServerUnavailable(const std::string& progId, const std::string& reason)
      : PlatformError("The Z server \"" + progId + "\" could not be created: " + reason),
        reason_(reason) {}
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

// What the result of one call of the server's Exec means.
enum class ExecResult {
  Done,          // the server ran the command
  ServerFailed,  // the server raised a failure of its own (its description tells)
  RetryLater,    // the server's Exec itself answered "retry later": whether it ran is unknown
  Rejected,      // the call was refused before the server ran it
  Gone,          // the server's process has gone: its object will never answer again
  Failed,        // any other failure of the call
};
ExecResult ClassifyExecResult(long hr);

class ComZServer : public ZServer {
 public:
  // Creates the object registered under `progId` on this machine. Needs a COM apartment.
  explicit ComZServer(const std::string& progId = kZServerProgId, BusyRetry busy = {});
  // Talks to an automation object the caller already holds (an in-process server); adds a
  // reference of its own.
  explicit ComZServer(IDispatch* server, const std::string& name = kZServerProgId,
                      BusyRetry busy = {});
  ~ComZServer() override;
  ComZServer(const ComZServer&) = delete;
  ComZServer& operator=(const ComZServer&) = delete;

  // Window events are held while the call waits (see EventHold). A failure reported by the
  // server throws ZServerError with the server's own description, else with the HRESULT's text;
  // a server that stays busy past the retry limit (see ComBusy) fails with a text that says so;
  // a server whose process has gone throws ZServerLost. A "retry later" from the server's own
  // Exec is asked again only for a command that is safe to repeat (see zcmd::SafeToRepeat);
  // any other fails at once.
  std::string Exec(const std::string& command) override;

 private:
  void BindExec(const std::string& name);

  Microsoft::WRL::ComPtr<IDispatch> server_;
  long execId_ = 0;
  BusyRetry busy_;
};

}  // namespace focura::win32
