#include "win32/ComZServer.h"

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>

#include "win32/ComBusy.h"
#include "win32/ErrorText.h"
#include "win32/EventHold.h"
#include "win32/Owned.h"
#include "win32/Utf.h"
#include "zserver/Repeat.h"

namespace focura::win32 {
namespace {

std::string CreationReason(HRESULT hr) {
  switch (hr) {
    case CO_E_CLASSSTRING:
      return "it is not registered on this computer (" + HresultText(hr) + ")";
    case REGDB_E_CLASSNOTREG:
      return "its class is not registered (" + HresultText(hr) + ")";
    case CO_E_SERVER_EXEC_FAILURE:
      return "its server program could not be started (" + HresultText(hr) + ")";
    case CO_E_NOTINITIALIZED:
      return "COM is not initialised on this thread (" + HresultText(hr) + ")";
    default:
      return HresultText(hr);
  }
}

// The strings an EXCEPINFO carries belong to the caller.
class ExcepInfo {
 public:
  ExcepInfo() = default;
  ~ExcepInfo() {
    SysFreeString(info_.bstrSource);
    SysFreeString(info_.bstrDescription);
    SysFreeString(info_.bstrHelpFile);
  }
  ExcepInfo(const ExcepInfo&) = delete;
  ExcepInfo& operator=(const ExcepInfo&) = delete;
  EXCEPINFO* get() { return &info_; }

  std::string Describe() {
    if (info_.pfnDeferredFillIn != nullptr)
      info_.pfnDeferredFillIn(&info_);
    if (info_.bstrDescription != nullptr && SysStringLen(info_.bstrDescription) > 0) {
      return Narrow(std::wstring_view(info_.bstrDescription, SysStringLen(info_.bstrDescription)));
    }
    if (info_.scode != 0)
      return HresultText(info_.scode);
    return "error " + std::to_string(info_.wCode);
  }

 private:
  EXCEPINFO info_{};
};

}  // namespace

ExecResult ClassifyExecResult(long result) {
  const HRESULT hr = static_cast<HRESULT>(result);
  switch (hr) {
    case DISP_E_EXCEPTION:
      return ExecResult::ServerFailed;
    case RPC_E_SERVERCALL_RETRYLATER:
      return ExecResult::RetryLater;
    case RPC_E_CALL_REJECTED:
      return ExecResult::Rejected;
    // The RPC layer's "did not execute" forms say the same: the process has gone.
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
      return ExecResult::Gone;
    default:
      return FAILED(hr) ? ExecResult::Failed : ExecResult::Done;
  }
}

ComZServer::ComZServer(const std::string& progId, BusyRetry busy) : busy_(busy) {
  // Starting a server waits in COM's modal loop too.
  EventHold hold;
  const std::wstring wideId = Widen(progId);
  CLSID clsid{};
  HRESULT hr = CLSIDFromProgID(wideId.c_str(), &clsid);
  if (FAILED(hr))
    throw ZServerUnavailable(progId, CreationReason(hr));
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_PPV_ARGS(&server_));
  if (FAILED(hr))
    throw ZServerUnavailable(progId, CreationReason(hr));
  try {
    BindExec(progId);
  } catch (...) {
    server_.Reset();  // inside the hold: releasing a remote object is a call of its own
    throw;
  }
}

ComZServer::ComZServer(IDispatch* server, const std::string& name, BusyRetry busy)
    : server_(server), busy_(busy) {
  if (server_ == nullptr)
    throw ZServerUnavailable(name, "no object");
  BindExec(name);
}

void ComZServer::BindExec(const std::string& name) {
  wchar_t method[] = L"Exec";
  LPOLESTR names[] = {method};
  DISPID id = 0;
  const HRESULT hr = server_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) {
    throw ZServerUnavailable(name, "it has no method Exec (" + HresultText(hr) + ")");
  }
  execId_ = id;
}

ComZServer::~ComZServer() {
  if (server_ != nullptr) {
    EventHold hold;  // releasing a remote object is a call of its own
    server_.Reset();
  }
}

std::string ComZServer::Exec(const std::string& command) {
  const std::wstring wide = Widen(command);
  UniqueVariant arg;
  arg->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (arg->bstrVal == nullptr)
    throw ZServerError(command, "out of memory");
  arg->vt = VT_BSTR;
  DISPPARAMS params{arg.get(), nullptr, 1, 0};
  UniqueVariant result;
  ExcepInfo excep;
  UINT badArg = 0;
  HRESULT hr;
  TakeGaveUpOnBusy();
  const bool repeatable = zcmd::SafeToRepeat(command);
  {
    EventHold hold;
    const DWORD start = GetTickCount();
    for (;;) {
      hr = server_->Invoke(execId_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                           result.get(), excep.get(), &badArg);
      // A server that answers "retry later" itself may have run part of the command or all of
      // it: only a command that gives the same result twice is asked again.
      if (hr != RPC_E_SERVERCALL_RETRYLATER || !repeatable ||
          GetTickCount() - start >= busy_.limitMs) {
        break;
      }
      WaitBeforeRetry(busy_.intervalMs);
    }
  }
  switch (ClassifyExecResult(hr)) {
    case ExecResult::Done:
      break;
    case ExecResult::ServerFailed:
      throw ZServerError(command, excep.Describe());
    case ExecResult::RetryLater:
      throw ZServerError(command,
                         repeatable ? StayedBusyText(busy_) : zcmd::NotRepeatedText(command));
    case ExecResult::Rejected:
      if (TakeGaveUpOnBusy())
        throw ZServerError(command, StayedBusyText(busy_));
      throw ZServerError(command, HresultText(hr));
    case ExecResult::Gone:
      throw ZServerLost(command, "the Z server's process has gone (" + HresultText(hr) +
                                     "); the next command starts it again");
    case ExecResult::Failed:
      throw ZServerError(command, HresultText(hr));
  }

  hr = VariantChangeType(result.get(), result.get(), 0, VT_BSTR);
  if (FAILED(hr))
    throw ZServerError(command, "the reply is not text: " + HresultText(hr));
  const BSTR reply = result.get()->bstrVal;
  if (reply == nullptr)
    return {};
  return Narrow(std::wstring_view(reply, SysStringLen(reply)));
}

}  // namespace focura::win32
