// zsim.exe: the Z server simulator as an out-of-process COM automation server.
//   zsim.exe /RegServer [/Log <file>] [/Force]
//                                       register per user under the Z server's ProgID; refused
//                                       while the ProgID names another server, unless /Force
//   zsim.exe /UnregServer               remove that registration
//   zsim.exe /UnregServer /Here         remove it only where it names a server in this
//                                       program's folder (what an uninstaller may take away)
//   zsim.exe -Embedding                 started by COM; ends when the last object is released
//   zsim.exe [/Log <file>]              started by the operator; ends when the window is closed
//                                       and no client holds an object any more
// The recorder writes to the /Log file, else to ZSIM_LOG, else to the file stored at
// registration. Exit codes: 0 done, 1 bad arguments, 2 registration failed, 3 start failed,
// 4 registration refused (another server holds the ProgID).

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "../SimHost.h"
#include "../SimWindow.h"
#include "ClassFactory.h"
#include "Registration.h"
#include "ServerLifetime.h"
#include "SimClass.h"
#include "sim/core/SimError.h"
#include "win32/Owned.h"
#include "win32/ProcessPolicy.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"

namespace {

using namespace zsim::win32;

struct Options {
  bool regServer = false;
  bool unregServer = false;
  bool embedding = false;
  bool force = false;
  bool here = false;
  std::wstring log;
  bool valid = true;
};

Options ParseOptions() {
  Options o;
  int argc = 0;
  const focura::win32::UniqueLocal<wchar_t**> args(CommandLineToArgvW(GetCommandLineW(), &argc));
  wchar_t** argv = args.get();
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (IsSwitch(arg, L"RegServer")) {
      o.regServer = true;
    } else if (IsSwitch(arg, L"UnregServer")) {
      o.unregServer = true;
    } else if (IsSwitch(arg, L"Embedding")) {
      o.embedding = true;
    } else if (IsSwitch(arg, L"Force")) {
      o.force = true;
    } else if (IsSwitch(arg, L"Here")) {
      o.here = true;
    } else if (IsSwitch(arg, L"Log") && i + 1 < argc) {
      o.log = argv[++i];
    } else {
      o.valid = false;
    }
  }
  return o;
}

std::wstring ExePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size())
      return std::wstring(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

// A registration run has no window: its verdict goes to the standard error of whoever started it
// (a pipe, or the console it was typed into); scripts read the exit code. No message box: a
// registration run by a script must never wait for a click.
void Say(const std::string& text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if ((err == nullptr || err == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS))
    err = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                      nullptr);
  const std::wstring wide = focura::win32::Widen(text) + L"\r\n";
  DWORD mode = 0;
  DWORD written = 0;
  if (err != nullptr && err != INVALID_HANDLE_VALUE && GetConsoleMode(err, &mode)) {
    WriteConsoleW(err, wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else if (err != nullptr && err != INVALID_HANDLE_VALUE) {
    const std::string line = text + "\n";
    WriteFile(err, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  }
}

std::filesystem::path LogPath(const Options& o) {
  if (!o.log.empty())
    return o.log;
  if (auto env = LogPathFromEnvironment(); !env.empty())
    return env;
  return RegisteredLogPath();
}

int Serve(const Options& o) {
  const focura::win32::UniqueComInit com(COINIT_MULTITHREADED);
  if (FAILED(com.Result()))
    return 3;
  int code = 0;
  try {
    SimHost host(focura::win32::RegionalDecimalSeparator());
    if (const auto log = LogPath(o); !log.empty())
      host.OpenLog(log);
    ServerLifetime lifetime;
    const bool userStarted = !o.embedding;
    std::atomic<bool> userLeft{false};
    if (userStarted) {
      lifetime.Lock();  // the operator's own hold, given up when the window is closed
      host.SetVisible(true);
    }
    SimWindow window(host, [&] {
      host.SetVisible(false);
      if (userStarted && !userLeft.exchange(true))
        lifetime.Unlock();
    });
    ClassFactory factory(host, lifetime);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(kSimClsid, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie))) {
      code = 3;
    } else {
      // Started by COM but never asked for an object (the client gave up): do not linger.
      if (o.embedding && !lifetime.WaitForExit(60000) && !lifetime.EverLocked())
        SetEvent(lifetime.ExitEvent());
      lifetime.WaitForExit(INFINITE);
      CoRevokeClassObject(cookie);
    }
  } catch (const std::exception&) {
    code = 3;
  }
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const Options o = ParseOptions();
  if (!o.valid || (o.regServer && o.unregServer) || (o.force && !o.regServer) ||
      (o.here && !o.unregServer))
    return 1;
  focura::win32::KeepTimerResolutionWhenHidden();
  try {
    if (o.regServer) {
      RegisterServer(ServerKind::Local, ExePath(),
                     o.log.empty() ? o.log : std::filesystem::absolute(o.log).wstring(), o.force);
      return 0;
    }
    if (o.unregServer) {
      if (o.here)
        UnregisterServerIn(std::filesystem::path(ExePath()).parent_path().wstring());
      else
        UnregisterServer();
      return 0;
    }
  } catch (const RegistrationRefused& e) {
    Say(e.what());
    return 4;
  } catch (const zsim::SimError& e) {
    Say(e.what());
    return 2;
  }
  return Serve(o);
}
