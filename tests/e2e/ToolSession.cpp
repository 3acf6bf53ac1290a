#include "ToolSession.h"

#include "Config.h"
#include "Desktop.h"
#include "ZServerRegistration.h"
#include "ui/Controls.h"
#include "win32/InputBox.h"
#include "win32/Owned.h"
#include "win32/TestProbe.h"

#include <cwchar>
#include <stdexcept>

namespace focura::e2e {

ToolSession::ToolSession(const std::string& name) {
  const Config& config = TheConfig();
  dir_ = config.workRoot + "\\" + name;
  RecreateFolder(dir_);
  toolExe_ = PathOf("focura.exe");
  zsimExe_ = PathOf("zsim.exe");
  CopyFileTo(config.toolExe, toolExe_);
  CopyFileTo(config.zsimExe, zsimExe_);
}

ToolSession::~ToolSession() {
  // A test that failed half-way may leave the tool running; it must not outlive its test.
  if (tool_.Running() && main_ != nullptr) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    tool_.WaitExit(5000);
  }
  tool_.Terminate();
  // The simulator ends by itself once the tool has released it; killed before it has withdrawn
  // its class from COM, it can leave the next test's tool waiting on a server that is gone. The
  // stand-ins the tool launched never end by themselves.
  EndProgramsUnder(dir_, "capture_target.exe");
  WaitUntil([&] { return ProgramsUnder(dir_, "zsim.exe").empty(); }, 10000);
  EndProgramsUnder(dir_);
  if (registered_) {
    try {
      UnregisterZServer();
    } catch (...) {
      // Nothing more to do in a destructor; the next registration replaces it anyway.
    }
  }
}

void ToolSession::WriteFile(const std::string& fileName, const std::string& bytes) const {
  WriteFileText(PathOf(fileName), bytes);
}

void ToolSession::RegisterZServer() {
  RegisterZServerCopy(zsimExe_, RecordPath(), dir_);
  registered_ = true;
}

void ToolSession::UnregisterZServer() {
  UnregisterZServerCopy(zsimExe_, dir_);
  registered_ = false;
}

void ToolSession::StartProcess() {
  tool_ = Process::Start("\"" + toolExe_ + "\"", dir_);
}

std::string ToolSession::Describe() const {
  std::string d = tool_.Running() ? "the tool runs" : "the tool has ended";
  for (HWND h : TopLevelWindows(tool_.Id())) {
    d += "; window [" + ClassOf(h) + "] \"";
    wchar_t caption[256];
    const int n = GetWindowTextW(h, caption, 256);
    d += Narrow(std::wstring(caption, n > 0 ? static_cast<size_t>(n) : 0)) + "\"";
    for (HWND s : ChildrenOfClass(h, "Static"))
      d += " " + TextOf(s, 2000);
  }
  d += "; simulators running: " + std::to_string(ProgramsUnder(dir_, "zsim.exe").size());
  return d;
}

bool ToolSession::WaitMainWindow(unsigned ms) {
  // The start-up message box carries the same caption; the class tells them apart.
  main_ = WaitForTopLevel(kToolCaption, tool_.Id(), ms, Narrow(win32::kMainWindowClass));
  return main_ != nullptr;
}

void ToolSession::Start() {
  StartProcess();
  if (!WaitMainWindow(kStartMs))
    throw std::runtime_error("the window \"Focura Acquisition\" did not appear; " + Describe());
  // The window is shown before its controls are filled in; the timing boxes are the last thing
  // the start-up writes.
  const int periodId = FindControl("txtPeriod")->id;
  if (!WaitUntil(
          [&] {
            HWND period = GetDlgItem(main_, periodId);
            return period != nullptr && !TextOf(period, kStepMs).empty();
          },
          kStartMs))
    throw std::runtime_error("the window did not finish its start-up");
}

HWND ToolSession::Control(const std::string& name) const {
  const ControlSpec* spec = FindControl(name);
  if (!spec)
    throw std::logic_error("no control named " + name);
  HWND h = GetDlgItem(main_, spec->id);
  if (!h)
    throw std::runtime_error("the window has no control " + name);
  return h;
}

void ToolSession::Click(const std::string& button) const {
  PostMessageW(Control(button), BM_CLICK, 0, 0);
}

void ToolSession::Menu(const std::string& item) const {
  const MenuSpec* spec = FindMenu(item);
  if (!spec || spec->id == 0)
    throw std::logic_error("no menu command named " + item);
  PostMessageW(main_, WM_COMMAND, MAKEWPARAM(spec->id, 0), 0);
}

void ToolSession::OpenCaptureMenu() const {
  // The tool recognises the "Image Capture" popup by its menu handle, which exists only inside the
  // tool's process. So the menu is really opened, the way the keyboard does it: F10 (the menu-bar
  // key, SC_KEYMENU) selects "Z-Server", Right moves to "Image Capture", Down opens it; the menu
  // loop takes these keys from the window's queue. Two Escapes close the popup and leave the bar.
  PostMessageW(main_, WM_SYSCOMMAND, SC_KEYMENU, 0);
  for (WPARAM key : {VK_RIGHT, VK_DOWN, VK_ESCAPE, VK_ESCAPE}) {
    PostMessageW(main_, WM_KEYDOWN, key, 1);
    PostMessageW(main_, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
  }
}

void ToolSession::Type(const std::string& textBox, const std::string& text) const {
  const std::wstring w = Wide(text);
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(Control(textBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()),
                           SMTO_NORMAL, kStepMs, &ignored)) {
    throw std::runtime_error("no answer to WM_SETTEXT for " + textBox);
  }
}

std::string ToolSession::Text(const std::string& control) const {
  return TextOf(Control(control), kStepMs);
}

bool ToolSession::Enabled(const std::string& control) const {
  return IsWindowEnabled(Control(control)) != FALSE;
}

std::string ToolSession::Tip(const std::string& control) const {
  const ControlSpec* spec = FindControl(control);
  if (!spec)
    throw std::logic_error("no control named " + control);
  DWORD_PTR address = 0;
  if (!SendMessageTimeoutW(main_, win32::kProbeTipText, static_cast<WPARAM>(spec->id), 0,
                           SMTO_NORMAL, kStepMs, &address) ||
      address == 0) {
    throw std::runtime_error("no answer to the tooltip probe");
  }
  const win32::UniqueHandle process(OpenProcess(PROCESS_VM_READ, FALSE, tool_.Id()));
  if (!process)
    throw std::runtime_error("the tool's memory cannot be read");
  std::wstring text(2048, L'\0');
  SIZE_T read = 0;
  const BOOL ok = ReadProcessMemory(process.get(), reinterpret_cast<const void*>(address),
                                    text.data(), text.size() * sizeof(wchar_t), &read);
  if (!ok)
    throw std::runtime_error("the tooltip's text cannot be read");
  text.resize(std::wcslen(text.c_str()));
  return Narrow(text);
}

bool ToolSession::Checked(const std::string& menuItem) const {
  const MenuSpec* spec = FindMenu(menuItem);
  if (!spec || spec->id == 0)
    throw std::logic_error("no menu command named " + menuItem);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(main_, win32::kProbeMenuChecked, static_cast<WPARAM>(spec->id), 0,
                           SMTO_NORMAL, kStepMs, &result)) {
    throw std::runtime_error("no answer to the check-mark probe");
  }
  const auto value = static_cast<LRESULT>(result);
  if (value < 0)
    throw std::runtime_error("the window has no menu item " + menuItem);
  return value == 1;
}

std::string ToolSession::WaitStatus(const std::function<bool(const std::string&)>& condition,
                                    unsigned ms) const {
  std::string last;
  WaitUntil(
      [&] {
        last = Status();
        return condition(last);
      },
      ms);
  return last;
}

std::string ToolSession::WaitStatusIs(const std::string& expected, unsigned ms) const {
  return WaitStatus([&](const std::string& s) { return s == expected; }, ms);
}

std::vector<RecordedCommand> ToolSession::Record() const {
  return ParseRecorderLog(ReadFileText(RecordPath()));
}

std::vector<RecordedCommand> ToolSession::WaitRecord(size_t n, unsigned ms) const {
  std::vector<RecordedCommand> record;
  WaitUntil(
      [&] {
        record = Record();
        return record.size() >= n;
      },
      ms);
  return record;
}

std::string ToolSession::AnswerPrompt(const std::string& title, const char* answer) const {
  HWND dialog = WaitForTopLevel(title, tool_.Id(), kStepMs);
  if (!dialog)
    throw std::runtime_error("the prompt \"" + title + "\" did not appear");
  HWND edit = GetDlgItem(dialog, win32::kInputBoxEditId);
  if (!edit)
    throw std::runtime_error("the prompt has no input field");
  const std::string shown = TextOf(edit, kStepMs);
  if (answer != nullptr) {
    const std::wstring w = Wide(answer);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(w.c_str()));
  }
  HWND button = GetDlgItem(dialog, answer != nullptr ? IDOK : IDCANCEL);
  if (!button)
    throw std::runtime_error("the prompt has no OK or Cancel button");
  PostMessageW(button, BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, kStepMs))
    throw std::runtime_error("the prompt \"" + title + "\" did not close");
  return shown;
}

unsigned long ToolSession::CloseAndWait(unsigned ms) {
  PostMessageW(main_, WM_CLOSE, 0, 0);
  if (!tool_.WaitExit(ms))
    throw std::runtime_error("the tool did not end after WM_CLOSE");
  main_ = nullptr;
  return tool_.ExitCode();
}

}  // namespace focura::e2e
