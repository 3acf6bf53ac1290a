#include "win32/Win32DesktopView.h"

#include <tlhelp32.h>

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "win32/Utf.h"
#include "win32/WindowBase.h"

namespace focura::win32 {
namespace {

struct WindowList {
  std::vector<WindowEntry> windows;
};

BOOL CALLBACK AddWindow(HWND hwnd, LPARAM param) {
  auto* list = reinterpret_cast<WindowList*>(param);
  WindowEntry w;
  w.handle = reinterpret_cast<uint64_t>(hwnd);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  w.processId = pid;
  w.owner = reinterpret_cast<uint64_t>(GetWindow(hwnd, GW_OWNER));
  w.visible = IsWindowVisible(hwnd) != FALSE;
  w.minimized = IsIconic(hwnd) != FALSE;
  list->windows.push_back(w);
  return TRUE;
}

uint64_t CreationTimeOf(DWORD pid) {
  const UniqueHandle h(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  return h ? CreationTime(h.get()) : 0;
}

std::vector<ProcessEntry> RunningProcesses() {
  std::vector<ProcessEntry> out;
  const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return out;
  HANDLE snap = snapshot.get();
  PROCESSENTRY32W pe{};
  pe.dwSize = sizeof pe;
  for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
    std::wstring exe = pe.szExeFile;
    const size_t slash = exe.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
      exe.erase(0, slash + 1);
    out.push_back({pe.th32ProcessID, pe.th32ParentProcessID, Narrow(exe), true,
                   CreationTimeOf(pe.th32ProcessID)});
  }
  return out;
}

}  // namespace

// The shell tells a window registered with it when a top-level window flashes its taskbar button,
// which is all a running copy of a program may do under the foreground rules. The window lives on
// a thread of its own so that the notices arrive while the tool's thread waits.
class FlashWatch : public WindowBase<FlashWatch> {
 public:
  FlashWatch() {
    const UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    thread_ = std::thread([this, ready = ready.get()] { Run(ready); });
    if (ready)
      WaitForSingleObject(ready.get(), 5000);
  }
  ~FlashWatch() {
    if (threadId_ != 0)
      PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  FlashWatch(const FlashWatch&) = delete;
  FlashWatch& operator=(const FlashWatch&) = delete;

  std::map<HWND, uint64_t> Flashes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return flashes_;
  }

 private:
  friend class WindowBase<FlashWatch>;
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != 0 && msg == shellMessage_ && wp == HSHELL_FLASH) {
      std::lock_guard<std::mutex> lock(mutex_);
      flashes_[reinterpret_cast<HWND>(lp)] = ++count_;
      return 0;
    }
    return DefWindowProcW(Hwnd(), msg, wp, lp);
  }

  void Run(HANDLE ready) {
    static const wchar_t* const kClass = L"FocuraFlashWatch";
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when a second watch registers it again
    shellMessage_ = RegisterWindowMessageW(L"SHELLHOOK");
    // A hidden top-level window: the shell reports to top-level windows only.
    // Destroyed on this thread, the only one that may.
    HWND window =
        Create(WS_EX_TOOLWINDOW, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, wc.hInstance);
    if (window != nullptr && (shellMessage_ == 0 || !RegisterShellHookWindow(window))) {
      Destroy();
      window = nullptr;
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue exists before the id is given
    if (window != nullptr)
      threadId_ = GetCurrentThreadId();
    if (ready != nullptr)
      SetEvent(ready);
    if (window == nullptr)
      return;  // no notices on this system: restored and shown windows still count
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
      DispatchMessageW(&msg);
    DeregisterShellHookWindow(window);
    Destroy();
  }

  std::thread thread_;
  std::atomic<DWORD> threadId_{0};
  UINT shellMessage_ = 0;
  std::mutex mutex_;
  std::map<HWND, uint64_t> flashes_;
  uint64_t count_ = 0;
};

uint64_t CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
    return 0;
  return (static_cast<uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

Win32DesktopView::Win32DesktopView() : flashes_(std::make_unique<FlashWatch>()) {}

Win32DesktopView::~Win32DesktopView() = default;

void Win32DesktopView::Hold(DWORD processId, UniqueHandle process, const std::string& exeName) {
  if (held_.count(processId) != 0)
    return;
  ProcessEntry entry;
  entry.id = processId;
  entry.parentId = GetCurrentProcessId();
  entry.exeName = exeName;
  entry.created = CreationTime(process.get());
  held_[processId] = {std::move(process), entry};
}

bool Win32DesktopView::HoldSeen(const ProcessEntry& seen) {
  if (Holds(seen.id))
    return true;
  UniqueHandle h(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, seen.id));
  if (!h)
    return false;
  // Opened after the snapshot: it must still be the same process, and running.
  if (CreationTime(h.get()) != seen.created || WaitForSingleObject(h.get(), 0) != WAIT_TIMEOUT)
    return false;
  held_[seen.id] = {std::move(h), seen};
  return true;
}

DesktopSnapshot Win32DesktopView::Snapshot() {
  DesktopSnapshot s;
  s.processes = RunningProcesses();
  // What the held processes are known as; those that ended are listed as ended.
  std::set<DWORD> listed;
  for (auto& p : s.processes) {
    auto it = held_.find(p.id);
    if (it == held_.end())
      continue;
    listed.insert(p.id);
    p.alive = WaitForSingleObject(it->second.handle.get(), 0) == WAIT_TIMEOUT;
  }
  for (auto& [pid, held] : held_) {
    if (listed.count(pid) == 0) {
      ProcessEntry ended = held.entry;
      ended.alive = WaitForSingleObject(held.handle.get(), 0) == WAIT_TIMEOUT;
      s.processes.push_back(ended);
    }
  }

  WindowList list;
  EnumWindows(AddWindow, reinterpret_cast<LPARAM>(&list));
  const std::map<HWND, uint64_t> flashes = flashes_->Flashes();
  std::map<HWND, uint64_t> appeared;
  for (auto& w : list.windows) {
    const HWND h = reinterpret_cast<HWND>(w.handle);
    auto it = appeared_.find(h);
    w.appeared = it != appeared_.end() ? it->second : ++seen_;
    appeared[h] = w.appeared;
    if (auto f = flashes.find(h); f != flashes.end())
      w.flashed = f->second;
  }
  appeared_ = std::move(appeared);  // a handle that went away gets a new number if reused
  s.windows = std::move(list.windows);
  s.foreground = reinterpret_cast<uint64_t>(GetForegroundWindow());
  return s;
}

}  // namespace focura::win32
