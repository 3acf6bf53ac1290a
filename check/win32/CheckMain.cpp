// focura-check.exe: the checks only a lab's own PC can answer, run in one go from the unpacked
// release. A small window shows how far it is; the report goes beside the program as
// focura-check-report.html and focura-check-report.txt. Exit code 0 when no check failed.
//   focura-check.exe                  asks before it starts the real Z server
//   focura-check.exe /auto            unattended (also --unattended): asks nothing, and skips
//                                     what needs the operator's consent

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "Checks.h"
#include "PcFacts.h"
#include "check/core/CheckReport.h"
#include "win32/ComApartment.h"
#include "win32/ProcessPolicy.h"
#include "win32/Utf.h"

namespace {

using namespace focura::check;
using focura::win32::Narrow;
using focura::win32::Widen;

constexpr wchar_t kCaption[] = L"Focura Acquisition: PC check";
constexpr const char* kReportStem = "focura-check-report";

bool Unattended() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  bool unattended = false;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    if (_wcsicmp(argv[i], L"/auto") == 0 || _wcsicmp(argv[i], L"--unattended") == 0)
      unattended = true;
  }
  LocalFree(argv);
  return unattended;
}

std::wstring ProgramFolder() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      return path.substr(0, path.find_last_of(L"\\/"));
    }
    buffer.resize(buffer.size() * 2);
  }
}

bool WriteUtf8(const std::wstring& path, const std::string& text) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return false;
  DWORD written = 0;
  const bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(h);
  return ok;
}

// The progress window: what runs now, and a line for every check done.
class ProgressWindow {
 public:
  ProgressWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"FocuraCheckProgress";
    RegisterClassW(&wc);
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    auto px = [dpi](int x) { return MulDiv(x, dpi, 96); };
    hwnd_ = CreateWindowExW(
        0, wc.lpszClassName, kCaption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
        CW_USEDEFAULT, CW_USEDEFAULT, px(560), px(340), nullptr, nullptr, wc.hInstance, nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectW(&metrics.lfMessageFont);
    RECT client{};
    GetClientRect(hwnd_, &client);
    line_ = CreateWindowExW(0, L"STATIC", L"Starting", WS_CHILD | WS_VISIBLE | SS_ENDELLIPSIS,
                            px(8), px(8), client.right - px(16), px(20), hwnd_, nullptr,
                            wc.hInstance, nullptr);
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, px(8),
                            px(32), client.right - px(16), client.bottom - px(40), hwnd_, nullptr,
                            wc.hInstance, nullptr);
    for (HWND h : {line_, list_})
      SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    Pump();
  }
  ~ProgressWindow() {
    DestroyWindow(hwnd_);
    DeleteObject(font_);
  }
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  void Say(const std::string& text) {
    SetWindowTextW(line_, Widen(text).c_str());
    Pump();
  }
  void Add(const std::string& text) {
    const LRESULT at =
        SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
    Pump();
  }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Until the operator closes the window.
  void WaitClosed() {
    MSG msg;
    while (IsWindow(hwnd_) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
      DestroyWindow(hwnd);
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  HWND line_ = nullptr;
  HWND list_ = nullptr;
  HFONT font_ = nullptr;
};

int Run() {
  focura::win32::ComApartment com;
  ProgressWindow progress;
  CheckSetting setting;
  setting.folder = ProgramFolder();
  setting.unattended = Unattended();
  setting.wine = WineVersion();
  setting.confirm = [&progress](const std::string& question) {
    return MessageBoxW(progress.Handle(), Widen(question).c_str(), kCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  };
  const ReportFacts facts = PcFacts();
  const std::vector<Check> table = CheckTable(setting);
  const std::vector<CheckRow> rows = RunChecks(
      table,
      [&](size_t i) {
        progress.Say("Checking (" + std::to_string(i + 1) + " of " + std::to_string(table.size()) +
                     "): " + table[i].name);
      },
      [&](const CheckRow& row) {
        progress.Add(std::string(StatusText(row.result.status)) + ": " + row.name +
                     (row.result.figure.empty() ? "" : " (" + row.result.figure + ")"));
      });

  const std::string title = "Focura Acquisition: PC check";
  const std::wstring stem = setting.folder + L"\\" + Widen(kReportStem);
  const bool written = WriteUtf8(stem + L".html", ReportHtml(title, facts, rows)) &&
                       WriteUtf8(stem + L".txt", ReportText(title, facts, rows));
  const int code = ExitCodeOf(rows);
  const std::string verdict = code == 0 ? "No check failed." : "Some checks failed.";
  if (!written) {
    const std::string text = verdict + " The report could not be written to " +
                             Narrow(setting.folder) +
                             ": unpack the zip into a folder of your own and run the check again.";
    progress.Say(text);
    if (!setting.unattended)
      MessageBoxW(progress.Handle(), Widen(text).c_str(), kCaption, MB_OK | MB_ICONERROR);
    return 2;
  }
  progress.Say(verdict + " Report: " + Narrow(stem) + ".html (close this window to end)");
  if (!setting.unattended)
    progress.WaitClosed();
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The same requests as the tool's, so that what is measured is what the tool gets.
  focura::win32::KeepTimerResolutionWhenHidden();
  focura::win32::KeepWindowsFromGhosting();
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  try {
    return Run();
  } catch (const std::exception& e) {
    if (!Unattended())
      MessageBoxW(nullptr, Widen(e.what()).c_str(), kCaption, MB_OK | MB_ICONERROR);
    return 2;
  }
}
