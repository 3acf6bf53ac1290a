#include "CheckShared.h"

#include <filesystem>

#include "win32/Utf.h"

namespace focura::check {

void PumpFor(unsigned ms) {
  const ULONGLONG end = GetTickCount64() + ms;
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount64() < end);
}

namespace {

// Under Wine, out-of-process COM needs Wine's RPC service. A prefix's set-up session that has not
// ended leaves a second service manager beside the first, and the service then cannot start: COM
// waits forever for the class factory of any local server. Found before the first creation, not
// after a time limit. "" when the service runs or could be started, else the system's error.
std::string WineRpcServiceFault() {
  SC_HANDLE scm = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (scm == nullptr)
    return "";
  std::string fault;
  if (SC_HANDLE rpc = OpenServiceW(scm, L"RpcSs", SERVICE_START | SERVICE_QUERY_STATUS)) {
    SERVICE_STATUS status{};
    if (QueryServiceStatus(rpc, &status) && status.dwCurrentState != SERVICE_RUNNING &&
        !StartServiceW(rpc, 0, nullptr) && GetLastError() != ERROR_SERVICE_ALREADY_RUNNING)
      fault = "error " + std::to_string(GetLastError());
    CloseServiceHandle(rpc);
  }
  CloseServiceHandle(scm);
  return fault;
}

}  // namespace

std::string Shared::FileOf(const wchar_t* file) const {
  return win32::Narrow(PathOf(file));
}

win32::ComZServer& Shared::Sim() {
  if (!sim) {
    Await("the simulator's class factory: COM starts zsim.exe for the ProgID " +
          std::string(kCheckProgId) + " and waits for it to register");
    sim = std::make_unique<win32::ComZServer>(kCheckProgId);
  }
  Await("the simulator's answer over COM");
  return *sim;
}

std::optional<CheckResult> Shared::NeedSimulator() {
  if (!setting.simulatorLost.empty())
    return Skipped("the simulator is not asked again: " + setting.simulatorLost);
  if (registration)
    return std::nullopt;
  if (refused)
    return refused;
  const std::wstring zsim = PathOf(L"zsim.exe");
  if (!std::filesystem::exists(zsim)) {
    refused = Unmet("zsim.exe is not beside the check",
                    "unpack the whole zip into a folder of your own and run the check from there");
    return refused;
  }
  if (!setting.wine.empty()) {
    Await("Wine's RPC service (RpcSs) to start");
    if (const std::string fault = WineRpcServiceFault(); !fault.empty()) {
      refused = Unmet("Wine's RPC service (RpcSs) does not start in this Wine session (" + fault +
                          "): COM would wait for the simulator for ever",
                      "end the Wine session (wineserver -k) and wait for the prefix's set-up to "
                      "end (wineserver -w)");
      return refused;
    }
  }
  Await("the registry, to register the simulator");
  try {
    registration = std::make_unique<OwnZServerRegistration>(zsim, setting.registerForMachine);
  } catch (const RegistrationRefused& e) {
    refused = Unmet(e.what(), e.todo);
  }
  return refused;
}

std::optional<CheckResult> Shared::NeedStandIn() const {
  if (std::filesystem::exists(PathOf(L"capture_target.exe")))
    return std::nullopt;
  return Unmet("capture_target.exe, the stand-in for a camera program, is not beside the check",
               "unpack the whole zip into a folder of your own and run the check from there");
}

}  // namespace focura::check
