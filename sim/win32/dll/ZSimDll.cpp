// zsim32.dll / zsim64.dll: the Z server simulator as an in-process COM automation server, for a
// client of its own width (a 64-bit program cannot load a 32-bit DLL, nor the other way round).
//   regsvr32 zsim64.dll                     register per user under the Z server's ProgID;
//                                           refused while the ProgID names another server
//   regsvr32 /n /i:"/Log <file> /Force" zsim64.dll
//                                           the same with the recorder's file, or replacing
//                                           another server (each switch optional)
//   regsvr32 /u zsim64.dll                  remove that registration
// The recorder writes to ZSIM_LOG, else to the file stored at registration.

#include <objbase.h>
#include <olectl.h>
#include <shellapi.h>
#include <windows.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "../SimHost.h"
#include "../SimWindow.h"
#include "../SimWindowProc.h"
#include "../server/ClassFactory.h"
#include "../server/ObjectLifetime.h"
#include "../server/Registration.h"
#include "../server/SimClass.h"
#include "sim/core/SimError.h"
#include "win32/Boundary.h"
#include "win32/Owned.h"
#include "win32/RegionalSettings.h"

namespace {

using namespace zsim::win32;

HMODULE gModule = nullptr;

// Every live object and server lock holds the DLL. The simulator's window runs on a thread of its
// own, in this DLL's code: it is started with the first hold and stopped and joined with the last,
// so no thread of ours is left when COM unloads the DLL, asked (DllCanUnloadNow) or not (the
// last CoUninitialize). No thread may be joined from DllMain, so that is never left to it.
class DllLifetime final : public ObjectLifetime {
 public:
  explicit DllLifetime(SimHost& host) : host_(host) {}
  void Lock() override {
    const std::lock_guard lock(mutex_);
    if (holds_++ == 0 && !window_) {
      try {
        window_ = std::make_unique<SimWindow>(host_);
      } catch (const std::exception& e) {
        // The simulator answers without its window.
        OutputDebugStringA(e.what());
      }
    }
  }
  void Unlock() override {
    std::unique_ptr<SimWindow> gone;
    {
      const std::lock_guard lock(mutex_);
      if (holds_ > 0 && --holds_ == 0)
        gone = std::move(window_);
    }
    if (gone) {
      gone.reset();
      UnregisterSimWindowClass();
    }
  }
  bool Held() {
    const std::lock_guard lock(mutex_);
    return holds_ > 0;
  }

 private:
  SimHost& host_;
  std::mutex mutex_;
  long holds_ = 0;
  std::unique_ptr<SimWindow> window_;
};

// The simulator of this process: made at the first request for the class and kept while the DLL
// is held, as a local server keeps its axis while it runs.
struct Server {
  SimHost host;
  DllLifetime lifetime;
  ClassFactory factory;

  explicit Server(const std::filesystem::path& log)
      : host(focura::win32::RegionalDecimalSeparator()), lifetime(host), factory(host, lifetime) {
    if (!log.empty())
      host.OpenLog(log);
  }
};

std::mutex gServerMutex;
Server* gServer = nullptr;

std::filesystem::path LogPath() {
  if (auto env = LogPathFromEnvironment(); !env.empty())
    return env;
  return RegisteredLogPath();
}

std::wstring ModulePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(gModule, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0)
      return {};
    if (n < buffer.size())
      return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

struct InstallOptions {
  bool force = false;
  std::wstring log;
  bool valid = true;
};

InstallOptions ParseInstallOptions(const wchar_t* commandLine) {
  InstallOptions o;
  if (commandLine == nullptr || *commandLine == L'\0')
    return o;
  // CommandLineToArgvW reads its first word as a program name, by other quoting rules.
  const std::wstring line = std::wstring(L"dll ") + commandLine;
  int argc = 0;
  const focura::win32::UniqueLocal<wchar_t**> args(CommandLineToArgvW(line.c_str(), &argc));
  wchar_t** argv = args.get();
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (IsSwitch(arg, L"Force")) {
      o.force = true;
    } else if (IsSwitch(arg, L"Log") && i + 1 < argc) {
      o.log = argv[++i];
    } else {
      o.valid = false;
    }
  }
  if (argv == nullptr)
    o.valid = false;
  return o;
}

HRESULT Register(const InstallOptions& o) {
  if (!o.valid)
    return E_INVALIDARG;
  const std::wstring path = ModulePath();
  if (path.empty())
    return HRESULT_FROM_WIN32(GetLastError());
  try {
    RegisterServer(ServerKind::InProcess, path,
                   o.log.empty() ? o.log : std::filesystem::absolute(o.log).wstring(), o.force);
    return S_OK;
  } catch (const RegistrationRefused& e) {
    // regsvr32 shows only the code; a debugger or a log viewer shows why.
    OutputDebugStringA(e.what());
    return HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS);
  }
}

// What an export returns for an error that reached the boundary: regsvr32 and COM see only the
// code, a debugger or a log viewer the reason.
HRESULT Failed(HRESULT code, const std::string& why) noexcept {
  OutputDebugStringA(why.c_str());
  return code;
}

// Registration that failed for another reason than a refusal.
HRESULT RegistrationFailed(const std::string& why) noexcept {
  return Failed(SELFREG_E_CLASS, why);
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    gModule = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) noexcept {
  if (ppv == nullptr)
    return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(clsid, kSimClsid))
    return CLASS_E_CLASSNOTAVAILABLE;
  return focura::win32::Guarded(
      [&]() -> HRESULT {
        const std::lock_guard lock(gServerMutex);
        if (gServer == nullptr)
          gServer = new (std::nothrow) Server(LogPath());
        if (gServer == nullptr)
          return E_OUTOFMEMORY;
        return gServer->factory.QueryInterface(riid, ppv);
      },
      [](const std::string& why) { return Failed(E_FAIL, why); });
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() noexcept {
  // Nothing holds the simulator: its window thread has ended, and it goes before the DLL does.
  return focura::win32::Guarded(
      []() -> HRESULT {
        const std::lock_guard lock(gServerMutex);
        if (gServer != nullptr && gServer->lifetime.Held())
          return S_FALSE;
        delete gServer;
        gServer = nullptr;
        return S_OK;
      },
      // Kept loaded: what failed may still be in use.
      [](const std::string& why) { return Failed(S_FALSE, why); });
}

HRESULT STDAPICALLTYPE DllRegisterServer() noexcept {
  return focura::win32::Guarded([] { return Register(InstallOptions{}); }, RegistrationFailed);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept {
  return focura::win32::Guarded(
      [] {
        UnregisterServer();
        return S_OK;
      },
      RegistrationFailed);
}

HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) noexcept {
  return focura::win32::Guarded(
      [&] {
        if (!install) {
          UnregisterServer();
          return S_OK;
        }
        return Register(ParseInstallOptions(commandLine));
      },
      RegistrationFailed);
}

}  // extern "C"
