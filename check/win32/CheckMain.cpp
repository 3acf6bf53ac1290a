// focura-check.exe (focura-check32.exe, the same sources built 32-bit): the checks only a lab's
// own PC can answer, run in one go from the unpacked release. A small window shows how far it is
// and how long the running check has taken; the report goes beside the program as
// focura-check-report.html and focura-check-report.txt.
//   focura-check.exe                  asks before it starts the real Z server
//   focura-check.exe /auto            unattended (also --unattended): asks nothing, and skips
//                                     what needs the operator's consent
// Exit codes: 0 no check failed, 1 a check failed, 2 the report could not be written,
// 3 incomplete (no check failed, but the PC lacked what some check needs: the report's first line
// says what to do).

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "CheckRunner.h"
#include "Checks.h"
#include "OwnZServer.h"
#include "PcFacts.h"
#include "check/core/CheckReport.h"
#include "check/core/ToolChoice.h"
#include "desktop/Process.h"
#include "win32/ComApartment.h"
#include "win32/Owned.h"
#include "win32/ProcessPolicy.h"
#include "win32/Utf.h"
#include "win32/WindowBase.h"
#include "zserver/ZServer.h"

namespace {

using namespace focura::check;
using focura::kZServerProgId;
using focura::win32::Narrow;
using focura::win32::Widen;

constexpr wchar_t kCaption[] = L"Focura Acquisition: PC check";
constexpr const char* kReportStem = "focura-check-report";

bool Unattended() {
  int argc = 0;
  const focura::win32::UniqueLocal<wchar_t**> args(CommandLineToArgvW(GetCommandLineW(), &argc));
  wchar_t** argv = args.get();
  bool unattended = false;
  for (int i = 1; argv != nullptr && i < argc; ++i) {
    if (_wcsicmp(argv[i], L"/auto") == 0 || _wcsicmp(argv[i], L"--unattended") == 0)
      unattended = true;
  }
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
  const focura::win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return false;
  DWORD written = 0;
  return WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

// The progress window: what runs now, and a line for every check done.
class ProgressWindow : public focura::win32::WindowBase<ProgressWindow> {
 public:
  ProgressWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ProgressWindow::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"FocuraCheckProgress";
    RegisterClassW(&wc);
    const int dpi = [] {
      const focura::win32::UniqueWindowDc screen(nullptr);
      return GetDeviceCaps(screen.get(), LOGPIXELSX);
    }();
    auto px = [dpi](int x) { return MulDiv(x, dpi, 96); };
    HWND hwnd_ = Create(0, wc.lpszClassName, kCaption,
                        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, px(560), px(340), nullptr, nullptr, wc.hInstance);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
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
      SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    Pump();
  }
  ~ProgressWindow() { Destroy(); }  // before the font its controls use goes
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  HWND Handle() const { return Hwnd(); }
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
    while (Hwnd() != nullptr && GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

 private:
  friend class focura::win32::WindowBase<ProgressWindow>;
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
      DestroyWhileBound();
      return 0;
    }
    return DefWindowProcW(Hwnd(), msg, wParam, lParam);
  }

  HWND line_ = nullptr;
  HWND list_ = nullptr;
  focura::win32::UniqueFont font_;
};

// The report as far as the run got; written by the run's end, or by the watchdog when the
// process stopped answering.
class ReportWriter {
 public:
  ReportWriter(std::wstring folder, ReportFacts facts)
      : folder_(std::move(folder)), facts_(std::move(facts)) {}
  void Add(const CheckRow& row) {
    const std::lock_guard lock(m_);
    rows_.push_back(row);
  }
  // Writes once; rows in `names` not yet done are reported as not run. False when it could not.
  bool Write(const std::vector<std::string>& names, const std::string& notRun, int& code) {
    const std::lock_guard lock(m_);
    if (written_)
      return true;
    written_ = true;
    std::vector<CheckRow> rows = rows_;
    for (size_t i = rows.size(); i < names.size(); ++i)
      rows.push_back({names[i], Fail("", notRun)});
    code = ExitCodeOf(rows);
    verdict_ = VerdictLine(rows);
    const std::string title = "Focura Acquisition: PC check";
    const std::wstring stem = Stem();
    return WriteUtf8(stem + L".html", ReportHtml(title, facts_, rows)) &&
           WriteUtf8(stem + L".txt", ReportText(title, facts_, rows));
  }
  std::wstring Stem() const { return folder_ + L"\\" + Widen(kReportStem); }
  std::string Verdict() const { return verdict_; }

 private:
  std::mutex m_;
  std::wstring folder_;
  ReportFacts facts_;
  std::vector<CheckRow> rows_;
  bool written_ = false;
  std::string verdict_;
};

int Run() {
  focura::win32::ComApartment com;
  ProgressWindow progress;
  CheckSetting setting;
  setting.folder = ProgramFolder();
  setting.unattended = Unattended();
  setting.wine = WineVersion();
  // COM reads only the machine's classes for an elevated process and under Wine.
  setting.registerForMachine = Elevated() || !setting.wine.empty();
  const std::string folder = Narrow(setting.folder);

  // What an earlier run left, known by the check's own marks: its registration, and stand-ins
  // still running from this folder.
  progress.Say("Removing what an earlier run of the check left");
  std::vector<std::string> leftovers = RemoveOwnRegistration();
  if (const int ended = focura::desktop::EndProgramsUnder(folder, "capture_target.exe"); ended > 0)
    leftovers.push_back(std::to_string(ended) + " stand-in(s) capture_target.exe ended");

  ReportFacts facts = PcFacts();
  const RegisteredServer real = DescribeRegistration(kZServerProgId);
  const ToolChoice choice = ChooseTool(real.bits32, real.bits64, WindowsIs64Bit(), ThisWidth());
  facts.emplace_back("The program for this PC",
                     std::string(focura::ProgramFor(choice.program)) + ": " + choice.why);
  std::string left;
  for (const auto& l : leftovers)
    left += (left.empty() ? "" : "; ") + l;
  facts.emplace_back("Left by an earlier run of the check", left.empty() ? "nothing" : left);

  // Asked before the checks start, so that no check's time runs while the question waits.
  if (!setting.unattended && real.registered && !choice.otherCheckCreates)
    setting.mayCreateZServer =
        MessageBoxW(progress.Handle(),
                    Widen("The Z server \"" + std::string(kZServerProgId) + "\" is registered:\n" +
                          Describe(real) +
                          "\n\nMay the check start it near its end? It is created and released at "
                          "once; no command is sent, the axis does not move.")
                        .c_str(),
                    kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;

  std::vector<std::string> names;
  unsigned allowed = 60;  // beyond the sum of the limits: the run's own start and end
  for (const Check& c : CheckTable(setting)) {
    names.push_back(c.name);
    allowed += c.limitSeconds;
  }
  ReportWriter report(setting.folder, facts);
  auto over = std::make_shared<std::atomic<bool>>(false);
  StartWatchdog(allowed, [&report, names, over] {
    if (*over)
      return;  // the report is written; the operator may keep its window open as long as needed
    int code = kExitFailed;
    report.Write(names, "not run: the check stopped answering before it", code);
    RemoveOwnRegistration();
    TerminateProcess(GetCurrentProcess(), code == kExitNoFailure ? kExitFailed : code);
  });

  bool abandoned = false;
  RunnerEvents events;
  events.running = [&](size_t i, unsigned seconds, unsigned limit) {
    progress.Say("Checking (" + std::to_string(i + 1) + " of " + std::to_string(names.size()) +
                 "): " + names[i] + ", " + std::to_string(seconds) + " s (limit " +
                 std::to_string(limit) + " s)");
  };
  events.done = [&](const CheckRow& row) {
    report.Add(row);
    progress.Add(std::string(StatusText(row.result.status)) + ": " + row.name +
                 (row.result.figure.empty() ? "" : " (" + row.result.figure + ")"));
  };
  events.pump = [&] { progress.Pump(); };
  RunWithLimits(setting, CheckTable, events, abandoned);
  // Whatever a check left stuck still holds, the registration goes by its marks.
  RemoveOwnRegistration();
  focura::desktop::EndProgramsUnder(folder, "capture_target.exe");

  int code = kExitFailed;
  const bool written = report.Write(names, "not run", code);
  *over = true;
  const std::string verdict = report.Verdict();
  if (!written) {
    const std::string text = verdict + " The report could not be written to " + folder +
                             ": unpack the zip into a folder of your own and run the check again.";
    progress.Say(text);
    if (!setting.unattended)
      MessageBoxW(progress.Handle(), Widen(text).c_str(), kCaption, MB_OK | MB_ICONERROR);
    code = kExitNotWritten;
  } else {
    progress.Say(verdict + " Report: " + Narrow(report.Stem()) +
                 ".html (close this window to end)");
    if (!setting.unattended)
      progress.WaitClosed();
  }
  // A check left stuck keeps its thread inside a call that may never return: end without it.
  if (abandoned)
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
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
    return kExitNotWritten;
  }
}
