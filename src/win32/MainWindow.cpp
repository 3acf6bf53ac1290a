#include "win32/MainWindow.h"

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <stdexcept>

#include "capture/PlatformError.h"
#include "text/Errors.h"
#include "ui/Controls.h"
#include "ui/DispatchBoundary.h"
#include "win32/CaptionLayout.h"
#include "win32/EnterClick.h"
#include "win32/ErrorText.h"
#include "win32/EventHold.h"
#include "win32/SystemDpi.h"
#include "win32/TestProbe.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

// Posted when a modal wait ends with events held back, so they run at the next message.
constexpr UINT kReplayHeld = WM_APP + 2;
// A close that must not run inside the message that asked for it: one sent from another thread or
// process, during which an outgoing call to the Z server would be refused.
constexpr UINT kPostedClose = WM_APP + 4;  // WM_APP + 1 and + 3 are the test probes
constexpr DWORD kFrameStyle = WS_OVERLAPPEDWINDOW;

ATOM RegisterMainClass(HINSTANCE instance) {
  static ATOM atom = 0;
  if (atom != 0)
    return atom;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = &MainWindow::Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kMainWindowClass;
  wc.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                                           LR_DEFAULTCOLOR));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  atom = RegisterClassExW(&wc);
  if (atom == 0) {
    throw PlatformError("The window class cannot be registered: " +
                        SystemErrorText(GetLastError()));
  }
  return atom;
}

std::function<bool(HWND, Control)>& ControlCreationFault() {
  static std::function<bool(HWND, Control)> fault;
  return fault;
}

HWND CreateControl(const ControlSpec& c, const RECT& r, HWND parent) {
  if (const auto& fault = ControlCreationFault(); fault && fault(parent, c.control)) {
    SetLastError(ERROR_NO_MORE_USER_HANDLES);
    return nullptr;
  }
  return CreateWindowExW(ControlExStyle(c.kind), ControlClass(c.kind), Widen(c.caption).c_str(),
                         ControlStyle(c), r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                         GetModuleHandleW(nullptr), nullptr);
}

// Inside a message sent from another thread or process and not yet answered: COM refuses every
// outgoing call made here (RPC_E_CANTCALLOUT_ININPUTSYNCCALL).
bool InsideSentMessage() {
  return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND;
}

}  // namespace

void SetControlCreationFaultForTest(std::function<bool(HWND, Control)> fault) {
  ControlCreationFault() = std::move(fault);
}

MainWindow::MainWindow(HINSTANCE instance, int dpi) : dpi_(dpi > 0 ? dpi : SystemDpi()) {
  RegisterMainClass(instance);
  const FormSpec& form = MainForm();
  const int clientW = TwipsToPixels(form.clientWidth, dpi_);
  const int clientH = TwipsToPixels(form.clientHeight, dpi_);
  RECT outer{0, 0, clientW, clientH};
  AdjustWindowRectEx(&outer, kFrameStyle, TRUE, 0);

  menus_ = BuildMenuBar();
  UniqueMenu bar(menus_.bar);
  if (Create(0, kMainWindowClass, Widen(form.caption).c_str(), kFrameStyle, CW_USEDEFAULT,
             CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, nullptr, menus_.bar,
             instance) == nullptr) {
    throw PlatformError("The main window cannot be created: " + SystemErrorText(GetLastError()));
  }
  bar.release();  // destroyed with the window

  // A menu bar that wraps takes client height; grow the frame until the client area fits.
  RECT client{};
  GetClientRect(Hwnd(), &client);
  RECT frame{};
  GetWindowRect(Hwnd(), &frame);
  const int extraW = clientW - client.right;
  const int extraH = clientH - client.bottom;
  minTrack_ = SIZE{frame.right - frame.left + extraW, frame.bottom - frame.top + extraH};
  if (extraW != 0 || extraH != 0) {
    SetWindowPos(Hwnd(), nullptr, 0, 0, minTrack_.cx, minTrack_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  font_.reset(CreateDialogFont(dpi_));
  // Should this throw, the base destroys the window, unbound first: nothing reaches a dead object.
  CreateControls();
  previousHook_ = SetEventsReleasedHook([this] {
    if (!held_.empty() && Hwnd() != nullptr)
      PostMessageW(Hwnd(), kReplayHeld, 0, 0);
  });
}

MainWindow::~MainWindow() {
  SetEventsReleasedHook(std::move(previousHook_));
  Destroy();  // before the font its controls use goes
}

void MainWindow::CreateControls() {
  tips_ = std::make_unique<ControlTips>(Hwnd(), MulDiv(400, dpi_, 96));
  // Creation order is the tab order: the dialog manager moves the focus along it.
  for (const ControlPlace& place :
       PlaceControls(font_.get(), dpi_, NewButtonTextInset(Hwnd(), dpi_))) {
    const ControlSpec& c = *place.spec;
    const RECT& r = place.rect;
    HWND control = CreateControl(c, r, Hwnd());
    if (control == nullptr) {
      throw PlatformError("Control " + std::string(c.name) +
                          " cannot be created: " + SystemErrorText(GetLastError()));
    }
    if (font_.get() != nullptr)
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (c.control == kRunButton) {
      if (!place.captionFits)
        runCaptionTip_ = Widen(c.caption);
      tips_->AddLive(control);
    } else if (!place.captionFits) {
      tips_->AddFixed(control, Widen(c.caption));
    }
    if (c.control == kStatusLine) {
      statusDesign_ = r;
      tips_->FollowText(control);
    }
  }
}

std::wstring MainWindow::TipText(Control control) const {
  if (control == kRunButton)
    return LiveTip();
  HWND h = ControlWindow(control);
  return h != nullptr && tips_ != nullptr ? tips_->TipText(h) : std::wstring();
}

std::wstring MainWindow::LiveTip() const {
  std::wstring tip = runCaptionTip_;
  std::string text;
  try {
    if (events_ != nullptr && !CloseRequested())
      text = events_->Tip(kRunButton);
  } catch (...) {
  }
  if (!text.empty())
    tip += (tip.empty() ? L"" : L"\n") + Widen(text);
  return tip;
}

void MainWindow::Show(int showCommand) {
  ShowWindow(Hwnd(), showCommand);
  UpdateWindow(Hwnd());
  const ControlSpec& first = MainControls().front();
  lastFocus_ = GetDlgItem(Hwnd(), first.id);
  SetFocus(lastFocus_);
}

int MainWindow::RunMessageLoop() {
  // A close that came while nothing ran this loop (during the load, from a session end) ends the
  // window now rather than never.
  FinishCloseIfIdle();
  MSG msg{};
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0)
      return static_cast<int>(msg.wParam);
    if (got == -1)
      return 1;
    DispatchMessageOnce(msg);
  }
}

void MainWindow::DispatchMessageOnce(MSG& msg) {
  // Enter on a focused button clicks it. Otherwise the dialog manager gives Tab its meaning;
  // without a default button, Enter elsewhere and Esc become IDOK and IDCANCEL, which name no
  // control and so click nothing.
  if (ClickFocusedButtonOnEnter(Hwnd(), msg))
    return;
  if (Hwnd() != nullptr && IsDialogMessageW(Hwnd(), &msg))
    return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void MainWindow::Pump() {
  if (CloseRequested())
    throw WindowClosed();
  ReplayHeld();
  MSG msg{};
  while (!CloseRequested() && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    DispatchMessageOnce(msg);
  }
  if (CloseRequested())
    throw WindowClosed();
}

HWND MainWindow::ControlWindow(Control control) const {
  const ControlSpec* c = FindControl(control);
  return c != nullptr && Hwnd() != nullptr ? GetDlgItem(Hwnd(), c->id) : nullptr;
}

HWND MainWindow::ControlOrThrow(Control control) const {
  if (FindControl(control) == nullptr)
    throw std::invalid_argument("no control named " + std::string(ControlName(control)));
  return ControlWindow(control);
}

std::string MainWindow::GetText(Control control) {
  HWND h = ControlOrThrow(control);
  if (h == nullptr)
    return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(h)) + 1, L'\0');
  const int n = GetWindowTextW(h, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return Narrow(text);
}

void MainWindow::SetText(Control control, const std::string& text) {
  if (HWND h = ControlOrThrow(control))
    SetWindowTextW(h, Widen(text).c_str());
}

void MainWindow::SetEnabled(Control control, bool enabled) {
  if (const MenuSpec* m = FindMenu(control); m != nullptr && m->id != 0) {
    EnableMenuItem(menus_.bar, static_cast<UINT>(m->id),
                   MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    return;
  }
  HWND h = ControlOrThrow(control);
  if (h == nullptr)
    return;
  // A control that loses the focus by being disabled would leave the keyboard nowhere.
  if (!enabled && GetFocus() == h)
    SetFocus(GetNextDlgTabItem(Hwnd(), h, FALSE));
  EnableWindow(h, enabled ? TRUE : FALSE);
}

void MainWindow::SetTip(Control control, const std::string& text) {
  HWND h = ControlOrThrow(control);
  if (h == nullptr || tips_ == nullptr)
    return;
  if (control == kStatusLine)
    tips_->SetNote(h, Widen(text));
  else if (control != kRunButton)
    tips_->SetFixed(h, Widen(text));
}

void MainWindow::SetChecked(Control menuItem, bool checked) {
  const MenuSpec* m = FindMenu(menuItem);
  if (m == nullptr || m->kind != MenuKind::Item) {
    throw std::invalid_argument("no menu item named " + std::string(ControlName(menuItem)));
  }
  CheckMenuItem(menus_.bar, static_cast<UINT>(m->id),
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

LRESULT MainWindow::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (RouteCommand(wParam, lParam))
        return 0;
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lParam);
      if (hdr != nullptr && hdr->code == TTN_GETDISPINFOW &&
          reinterpret_cast<HWND>(hdr->idFrom) == ControlWindow(kRunButton)) {
        liveTip_ = LiveTip();
        reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText = liveTip_.data();
        return 0;
      }
      break;
    }
    case kProbeTipText: {
      const ControlSpec* c = FindControlById(static_cast<int>(wParam));
      const std::wstring tip = c != nullptr ? TipText(c->control) : std::wstring();
      const size_t n = std::min(tip.size(), std::size(probeTip_) - 1);
      std::copy_n(tip.data(), n, probeTip_);
      probeTip_[n] = L'\0';
      return reinterpret_cast<LRESULT>(probeTip_);
    }
    case WM_INITMENUPOPUP: {
      // A menu whose opening is a command (the capture menu) tells it; the system menu none.
      if (HIWORD(lParam) != 0)
        return 0;
      for (const auto& [menu, popup] : menus_.popups) {
        if (popup != reinterpret_cast<HMENU>(wParam))
          continue;
        if (const std::optional<Command> command = CommandOf(menu))
          Submit({EventKind::MenuOpen, *command});
        break;
      }
      return 0;
    }
    case WM_CLOSE:
      if (InsideSentMessage())
        PostClose();
      else
        Submit({EventKind::Close, std::nullopt});
      return 0;
    case WM_QUERYENDSESSION:
      return session_.Query((static_cast<DWORD>(lParam) & ENDSESSION_CRITICAL) != 0) ? TRUE : FALSE;
    case WM_ENDSESSION:
      session_.Ended(wParam != FALSE);
      return 0;
    case kPostedClose:
      Submit({EventKind::Close, std::nullopt});
      return 0;
    case kReplayHeld:
      ReplayHeld();
      return 0;
    case kProbeMenuChecked: {
      const UINT state = GetMenuState(menus_.bar, static_cast<UINT>(wParam), MF_BYCOMMAND);
      if (state == static_cast<UINT>(-1))
        return -1;
      return (state & MF_CHECKED) ? 1 : 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (minTrack_.cx > 0)
        info->ptMinTrackSize = POINT{minTrack_.cx, minTrack_.cy};
      return 0;
    }
    case WM_SIZE:
      if (HWND status = ControlWindow(kStatusLine); status != nullptr && wParam != SIZE_MINIMIZED) {
        const RECT r = WidenedWithClient(statusDesign_, TwipsToPixels(MainForm().clientWidth, dpi_),
                                         LOWORD(lParam));
        SetWindowPos(status, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ACTIVATE:
      // A plain window does not remember its focused control across deactivation.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(Hwnd(), focus))
          lastFocus_ = focus;
        return 0;
      }
      break;
    case WM_SETFOCUS:
      if (lastFocus_ != nullptr && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)) {
        SetFocus(lastFocus_);
      } else if (HWND next = GetNextDlgTabItem(Hwnd(), nullptr, FALSE)) {
        SetFocus(next);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(Hwnd(), msg, wParam, lParam);
}

void MainWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(Hwnd(), &ps);
  // Line1: an etched rule under the menu bar.
  const LineSpec& line = MainLine();
  const int x1 = TwipsToPixels(line.x1, dpi_);
  const int x2 = TwipsToPixels(line.x2, dpi_);
  const int y = TwipsToPixels(line.y1, dpi_);
  RECT dark{x1, y, x2 + 1, y + 1};
  RECT light{x1, y + 1, x2 + 1, y + 2};
  FillRect(dc, &dark, GetSysColorBrush(COLOR_BTNSHADOW));
  FillRect(dc, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  EndPaint(Hwnd(), &ps);
}

bool MainWindow::RouteCommand(WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (lParam != 0) {
    if (code != BN_CLICKED)
      return false;
    const ControlSpec* c = FindControlById(id);
    if (c == nullptr || c->kind != ControlKind::Button)
      return false;
    // A click can be posted to a disabled button; it is not the operator's.
    if (!IsWindowEnabled(reinterpret_cast<HWND>(lParam)))
      return true;
    if (const std::optional<Command> command = CommandOf(c->control))
      Submit({EventKind::Click, *command});
    return true;
  }
  if (code != 0)
    return false;
  const MenuSpec* m = FindMenuById(id);
  if (m == nullptr || m->kind != MenuKind::Item)
    return true;  // IDOK, IDCANCEL: nothing
  if (const std::optional<Command> command = CommandOf(m->control))
    Submit({EventKind::Click, *command});
  return true;
}

void MainWindow::Submit(Event event) {
  if (EventsHeld()) {
    held_.push_back(std::move(event));
    return;
  }
  Deliver(event);
}

bool MainWindow::CloseRequested() const {
  return events_ != nullptr ? events_->Closed() : closedUnattached_;
}

void MainWindow::Deliver(const Event& event) {
  if (event.kind == EventKind::Close) {
    if (!CloseRequested()) {
      if (events_ == nullptr)
        closedUnattached_ = true;
      else
        RunInBoundary([this] { events_->Close(); });  // the window goes whatever the farewell did
      session_.FarewellSaid();
    }
    FinishCloseIfIdle();
    return;
  }
  if (CloseRequested() || events_ == nullptr)
    return;
  const auto failure = RunInBoundary([&] { events_->Dispatch(*event.command); });
  if (failure && !CloseRequested())
    RunInBoundary([&] { SetText(kStatusLine, *failure); });
  FinishCloseIfIdle();
}

void MainWindow::ReplayHeld() {
  while (!held_.empty() && !EventsHeld()) {
    Event event = std::move(held_.front());
    held_.pop_front();
    Deliver(event);
  }
}

void MainWindow::FinishCloseIfIdle() {
  if (!CloseRequested() || Hwnd() == nullptr)
    return;
  if (events_ != nullptr && events_->Busy())
    return;
  held_.clear();
  DestroyWhileBound();
}

void MainWindow::HoldEnd(const std::string& reason) {
  // Wine keeps no such list; a system that refuses the hold still gets the answer "not yet".
  if (Hwnd() != nullptr)
    ShutdownBlockReasonCreate(Hwnd(), Widen(reason).c_str());
}

void MainWindow::ReleaseEnd() {
  if (Hwnd() != nullptr)
    ShutdownBlockReasonDestroy(Hwnd());
}

void MainWindow::PostClose() {
  if (Hwnd() != nullptr)
    PostMessageW(Hwnd(), kPostedClose, 0, 0);
}

void MainWindow::AnswerNow() {
  ReplyMessage(0);
}

void MainWindow::CloseNow() {
  Submit({EventKind::Close, std::nullopt});
}

std::string MainWindow::RunInProgress() {
  return events_ != nullptr && !CloseRequested() ? events_->RunInProgress() : "";
}

}  // namespace focura::win32
