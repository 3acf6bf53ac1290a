// A stand-in for a camera-remote program: a plain top-level window that writes every key it
// receives to a log, one line per event, so the end-to-end tests can tell which keys reached it,
// when (timeGetTime, the clock the tool itself waits on) and whether it was in front at the time.
//
//   capture_target.exe --title "Capture Target" --log C:\path\keys.log [--hold-focus]
//
// Without --log the log is <exe name>.keys.log beside the executable, so that a bare quoted path
// (all a configuration file can hold) still gives a stand-in whose keys can be read.
//
// With --hold-focus it plays a program that will not give up the foreground: whenever it loses
// activation it takes it back at once.
//
// Other camera programs it can play:
//   --launch            a launcher: starts itself (the other arguments passed on) and exits
//   --splash <ms>       with --launch: the launcher first shows a window of its own (caption
//                       "<title> launcher", not logged) for that long, then hands over
//   --single            a single-instance program: when a copy with the same caption runs, it
//                       lets that copy bring its window to the front and exits
//   --slow-keydown <ms> a busy program: spends that long in each WM_KEYDOWN, then logs it
//   --launcher <ms>     a launcher with windows of its own: a splash in front, and after <ms>
//                       a small panel that stays while the splash hides; then it starts itself
//                       (the other arguments passed on) and lives as long as that copy
//   --dialog-after-key <ms>
//                       after its first key, an error dialog ("Card full") opens and disables
//                       its window; it closes by itself after <ms>, or earlier by a key
//
// Line format (fields separated by one blank):
//   <ms> START pid=<pid> fg=<0|1>
//   <ms> ACTIVATE on=<0|1> fg=<0|1>
//   <ms> KEYDOWN vk=<n> shift=<0|1> ctrl=<0|1> alt=<0|1> fg=<0|1>
//   <ms> SYSKEYDOWN vk=<n> shift=<0|1> ctrl=<0|1> alt=<0|1> fg=<0|1>
//   <ms> CHAR ch=<n> shift=<0|1> ctrl=<0|1> alt=<0|1> fg=<0|1>
//   <ms> DIALOG open=<0|1> bykey=<0|1> fg=<0|1>   (bykey: a key closed it, not its timer)

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "win32/Owned.h"

namespace {

focura::win32::UniqueFile gLog;
HWND gWindow = nullptr;
bool gHoldFocus = false;
DWORD gSlowKeyDownMs = 0;
DWORD gDialogMs = 0;        // --dialog-after-key; 0: no dialog
bool gDialogShown = false;  // the dialog opens once
bool gDialogByTimer = false;
constexpr UINT kTakeFocusBack = WM_APP + 1;
constexpr UINT kComeToFront = WM_APP + 2;
constexpr UINT kOpenDialog = WM_APP + 3;
constexpr const wchar_t* kClass = L"FocuraCaptureTarget";

// Starts this program again with `args`; its id is 0 when it could not be started.
focura::win32::ProcessHandles StartSelf(const std::wstring& args) {
  wchar_t self[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self, n) + L"\"" + args;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return {};
  return focura::win32::ProcessHandles(pi);
}

// A top-level window of its own class, shown in front as a program's first window is.
HWND ShowInFront(HINSTANCE instance, const wchar_t* cls, WNDPROC proc, const std::wstring& caption,
                 DWORD style, int width, int height) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = cls;
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, cls, caption.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                              height, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr)
    return nullptr;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  SetForegroundWindow(hwnd);
  return hwnd;
}

void RunLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Each line goes straight to the file (no buffering), so a reader polling the file sees every
// event as soon as the window has handled it.
void WriteLine(const std::string& line) {
  if (!gLog)
    return;
  std::string text = line + "\r\n";
  DWORD written = 0;
  WriteFile(gLog.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

int Down(int vk) {
  return (GetKeyState(vk) & 0x8000) != 0 ? 1 : 0;
}

int InFront() {
  return GetForegroundWindow() == gWindow ? 1 : 0;
}

void LogKey(const char* what, const char* field, unsigned value) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%lu %s %s=%u shift=%d ctrl=%d alt=%d fg=%d",
                static_cast<unsigned long>(timeGetTime()), what, field, value, Down(VK_SHIFT),
                Down(VK_CONTROL), Down(VK_MENU), InFront());
  WriteLine(buf);
}

void LogDialog(bool open, bool byKey) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%lu DIALOG open=%d bykey=%d fg=%d",
                static_cast<unsigned long>(timeGetTime()), open ? 1 : 0, byKey ? 1 : 0, InFront());
  WriteLine(buf);
}

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) noexcept {
  wchar_t cls[16] = {};
  GetClassNameW(hwnd, cls, 16);
  if (std::wstring(cls) != L"#32770")
    return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// Runs inside the dialog's own loop: presses its button as the operator would.
void CALLBACK CloseDialog(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
  KillTimer(nullptr, timer);
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog != nullptr) {
    gDialogByTimer = true;
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  }
}

// A modal error message, as a camera program shows when its card is full: its owner is disabled
// until it closes.
void ShowDialog() {
  const UINT_PTR timer = SetTimer(nullptr, 0, gDialogMs, CloseDialog);
  LogDialog(true, false);
  MessageBoxW(gWindow, L"The memory card is full.", L"Card full", MB_OK | MB_ICONERROR);
  KillTimer(nullptr, timer);
  LogDialog(false, !gDialogByTimer);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  switch (msg) {
    case WM_KEYDOWN:
      if (gSlowKeyDownMs != 0)
        Sleep(gSlowKeyDownMs);
      LogKey("KEYDOWN", "vk", static_cast<unsigned>(wp));
      if (gDialogMs != 0 && !gDialogShown) {
        gDialogShown = true;
        PostMessageW(hwnd, kOpenDialog, 0, 0);
      }
      return 0;
    case kOpenDialog:
      ShowDialog();
      return 0;
    case WM_SYSKEYDOWN:
      LogKey("SYSKEYDOWN", "vk", static_cast<unsigned>(wp));
      break;  // Alt+F4 and friends keep their default meaning
    case WM_CHAR:
      LogKey("CHAR", "ch", static_cast<unsigned>(wp));
      return 0;
    case WM_ACTIVATE: {
      char buf[96];
      std::snprintf(buf, sizeof buf, "%lu ACTIVATE on=%d fg=%d",
                    static_cast<unsigned long>(timeGetTime()), LOWORD(wp) != WA_INACTIVE ? 1 : 0,
                    InFront());
      WriteLine(buf);
      if (gHoldFocus && LOWORD(wp) == WA_INACTIVE)
        PostMessageW(hwnd, kTakeFocusBack, 0, 0);
      break;
    }
    case kComeToFront:
      if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
      SetForegroundWindow(hwnd);
      return 0;
    case kTakeFocusBack:
      if (GetForegroundWindow() != hwnd)
        SetForegroundWindow(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK LauncherProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The launcher's part: its splash, then its panel and the program it starts; it ends with that
// program, or when its panel is closed.
int RunLauncher(HINSTANCE instance, const std::wstring& title, DWORD splashMs,
                const std::wstring& passedOn) {
  const HWND splash = ShowInFront(instance, L"FocuraCaptureSplash", LauncherProc,
                                  title + L" Splash", WS_POPUP | WS_BORDER, 240, 120);
  if (splash == nullptr)
    return 3;
  const DWORD shownAt = GetTickCount();
  MSG msg;
  while (GetTickCount() - shownAt < splashMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }
  const HWND panel = ShowInFront(instance, L"FocuraCaptureLauncher", LauncherProc,
                                 title + L" Launcher", WS_OVERLAPPED | WS_CAPTION, 240, 120);
  ShowWindow(splash, SW_HIDE);
  if (panel == nullptr)
    return 3;
  const focura::win32::ProcessHandles started = StartSelf(passedOn);
  if (started.id == 0)
    return 4;
  for (;;) {
    HANDLE child = started.process.get();
    if (MsgWaitForMultipleObjects(1, &child, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
      return 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT)
        return 0;
      DispatchMessageW(&msg);
    }
  }
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  std::wstring title = L"Capture Target";
  std::wstring logPath;
  std::wstring passedOn;  // the arguments without --launch, quoted again
  bool launch = false, single = false;
  DWORD splashMs = 0;
  DWORD launcherMs = 0;
  bool launcher = false;
  int argc = 0;
  const focura::win32::UniqueLocal<LPWSTR*> args(CommandLineToArgvW(GetCommandLineW(), &argc));
  LPWSTR* argv = args.get();
  for (int i = 1; argv && i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg == L"--launch") {
      launch = true;
      continue;
    }
    if (arg == L"--splash" && i + 1 < argc) {
      splashMs = static_cast<DWORD>(_wtoi(argv[++i]));
      continue;
    }
    if (arg == L"--launcher" && i + 1 < argc) {
      launcher = true;
      launcherMs = static_cast<DWORD>(_wtoi(argv[++i]));
      continue;
    }
    passedOn += L" \"" + arg + L"\"";
    const bool hasValue =
        i + 1 < argc && (arg == L"--title" || arg == L"--log" || arg == L"--slow-keydown" ||
                         arg == L"--dialog-after-key");
    const std::wstring value = hasValue ? argv[++i] : L"";
    if (hasValue)
      passedOn += L" \"" + value + L"\"";
    if (arg == L"--title")
      title = value;
    else if (arg == L"--log")
      logPath = value;
    else if (arg == L"--slow-keydown")
      gSlowKeyDownMs = static_cast<DWORD>(_wtoi(value.c_str()));
    else if (arg == L"--dialog-after-key")
      gDialogMs = static_cast<DWORD>(_wtoi(value.c_str()));
    else if (arg == L"--hold-focus")
      gHoldFocus = true;
    else if (arg == L"--single")
      single = true;
  }
  if (launch) {
    if (splashMs > 0) {
      // The launcher's own window, in front while it "loads"; it goes with the launcher.
      ShowInFront(instance, L"FocuraCaptureTargetLauncher", DefWindowProcW, title + L" launcher",
                  WS_POPUP | WS_BORDER | WS_CAPTION, 240, 120);
      const DWORD until = GetTickCount() + splashMs;
      while (GetTickCount() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
          DispatchMessageW(&msg);
        Sleep(10);
      }
    }
    // The launcher does not wait for the program it starts.
    return StartSelf(passedOn).id != 0 ? 0 : 4;
  }
  if (launcher)
    return RunLauncher(instance, title, launcherMs, passedOn);
  if (single) {
    if (HWND running = FindWindowW(kClass, title.c_str())) {
      // The starter may hand its right to the foreground on; the running copy uses it.
      DWORD pid = 0;
      GetWindowThreadProcessId(running, &pid);
      AllowSetForegroundWindow(pid);
      PostMessageW(running, kComeToFront, 0, 0);
      return 0;
    }
  }
  if (logPath.empty()) {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    logPath.assign(self, n);
    const size_t dot = logPath.find_last_of(L'.');
    if (dot != std::wstring::npos && logPath.find_last_of(L'\\') < dot)
      logPath.resize(dot);
    logPath += L".keys.log";
  }

  gLog.reset(CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!gLog)
    return 2;
  timeBeginPeriod(1);

  // A program started normally comes up in front with the keyboard focus; so does this one.
  gWindow = ShowInFront(instance, kClass, WndProc, title, WS_OVERLAPPEDWINDOW, 320, 200);
  if (!gWindow)
    return 3;
  SetFocus(gWindow);
  {
    char buf[96];
    std::snprintf(buf, sizeof buf, "%lu START pid=%lu fg=%d",
                  static_cast<unsigned long>(timeGetTime()),
                  static_cast<unsigned long>(GetCurrentProcessId()), InFront());
    WriteLine(buf);
  }

  RunLoop();
  timeEndPeriod(1);
  gLog.reset();
  return 0;
}
