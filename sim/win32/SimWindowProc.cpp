#include "SimWindowProc.h"

#include <memory>
#include <string>
#include <vector>

#include "SimHost.h"
#include "sim/core/SimError.h"
#include "win32/SystemDpi.h"
#include "win32/Utf.h"

namespace zsim::win32 {
namespace {

using focura::win32::Widen;

enum : int {
  kIdPosition = 100,
  kIdJoystick,
  kIdLamp,
  kIdMessage,
  kIdStoredLabel,
  kIdCommandsLabel,
  kIdJogFirst = 110,  // six jog buttons
  kIdStore = 120,
  kIdStored = 130,
  kIdCommands = 131,
};

constexpr double kJogSteps[] = {-100.0, -10.0, -1.0, 1.0, 10.0, 100.0};
constexpr const wchar_t* kJogCaptions[] = {L"-100", L"-10", L"-1", L"+1", L"+10", L"+100"};
constexpr UINT_PTR kTimerId = 1;
constexpr size_t kCommandsShown = 30;

// What the window shows, kept so that controls are rewritten only when their content changes.
struct Shown {
  std::wstring position;
  std::wstring joystick;
  std::wstring lamp;
  bool trigger = false;
  bool joystickOn = false;
  std::vector<double> stored;
  uint64_t lastSeq = 0;
  bool visible = false;
};

}  // namespace

struct SimWindowObject::State {
  SimHost* host;
  std::function<void()>* onUserClose;
  HFONT font;
  focura::win32::UniqueBrush lampOn;
  Shown shown;
};

namespace {

using State = SimWindowObject::State;

// Positions and sizes are drawn at 96 dpi and scaled to the system's.
HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
           int w, int h, HFONT font) {
  HWND c = CreateWindowExW(cls == std::wstring(L"LISTBOX") ? WS_EX_CLIENTEDGE : 0, cls, text,
                           WS_CHILD | WS_VISIBLE | style, SimPx(x), SimPx(y), SimPx(w), SimPx(h),
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleW(nullptr), nullptr);
  SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return c;
}

void SetIfChanged(HWND parent, int id, std::wstring& shown, const std::wstring& text) {
  if (shown == text)
    return;
  shown = text;
  SetDlgItemTextW(parent, id, text.c_str());
}

void CreateControls(HWND hwnd, HFONT font) {
  Child(hwnd, L"STATIC", L"", SS_LEFT, kIdPosition, 10, 10, 600, 20, font);
  Child(hwnd, L"STATIC", L"", SS_LEFT, kIdJoystick, 10, 36, 600, 20, font);
  for (int i = 0; i < 6; ++i) {
    Child(hwnd, L"BUTTON", kJogCaptions[i], BS_PUSHBUTTON | WS_TABSTOP, kIdJogFirst + i,
          10 + i * 62, 62, 56, 26, font);
  }
  Child(hwnd, L"BUTTON", L"Store position", BS_PUSHBUTTON | WS_TABSTOP, kIdStore, 390, 62, 120, 26,
        font);
  Child(hwnd, L"STATIC", L"", SS_CENTER | SS_CENTERIMAGE, kIdLamp, 10, 98, 600, 24, font);
  Child(hwnd, L"STATIC", L"Stored positions", SS_LEFT, kIdStoredLabel, 10, 132, 150, 18, font);
  Child(hwnd, L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, kIdStored, 10, 152,
        150, 200, font);
  Child(hwnd, L"STATIC", L"Last commands received", SS_LEFT, kIdCommandsLabel, 170, 132, 440, 18,
        font);
  Child(hwnd, L"LISTBOX", L"", WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL,
        kIdCommands, 170, 152, 440, 200, font);
  Child(hwnd, L"STATIC", L"", SS_LEFT, kIdMessage, 10, 360, 600, 20, font);
}

void Refresh(HWND hwnd, State& st) {
  const SimSnapshot snap = st.host->Snapshot();
  const auto z = [&](double v) { return Widen(st.host->Format4(v)); };
  Shown& sh = st.shown;

  std::wstring position = L"Z " + z(snap.position) + L" um";
  position += snap.moving ? L"   moving to " + z(snap.target) + L" um" : L"   standing";
  SetIfChanged(hwnd, kIdPosition, sh.position, position);
  SetIfChanged(hwnd, kIdJoystick, sh.joystick,
               std::wstring(snap.joystick ? L"Joystick on" : L"Joystick off (\"Joy On\")") +
                   L"   speed " + z(snap.speed) + L" um/s   limits " + z(snap.limits.lo) + L" to " +
                   z(snap.limits.hi) + L" um" + (snap.unloaded ? L"   unloaded" : L""));
  if (snap.joystick != sh.joystickOn) {
    sh.joystickOn = snap.joystick;
    for (int id = kIdJogFirst; id <= kIdStore; ++id) {
      if (HWND b = GetDlgItem(hwnd, id))
        EnableWindow(b, snap.joystick);
    }
  }
  const std::wstring lamp =
      std::wstring(snap.trigger ? L"TRIGGER ON" : L"Trigger off") + L"   pulses: " +
      std::to_wstring(snap.pulsesMs.size()) +
      (snap.pulsesMs.empty() ? L"" : L"   last " + std::to_wstring(snap.pulsesMs.back()) + L" ms");
  if (snap.trigger != sh.trigger) {
    sh.trigger = snap.trigger;
    InvalidateRect(GetDlgItem(hwnd, kIdLamp), nullptr, TRUE);
  }
  SetIfChanged(hwnd, kIdLamp, sh.lamp, lamp);

  if (snap.stored != sh.stored) {
    sh.stored = snap.stored;
    HWND list = GetDlgItem(hwnd, kIdStored);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < snap.stored.size(); ++i) {
      const std::wstring line = std::to_wstring(i + 1) + L":  " + z(snap.stored[i]);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
  }

  const uint64_t lastSeq = snap.recent.empty() ? 0 : snap.recent.back().seq;
  if (lastSeq != sh.lastSeq) {
    sh.lastSeq = lastSeq;
    HWND list = GetDlgItem(hwnd, kIdCommands);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const size_t first =
        snap.recent.size() > kCommandsShown ? snap.recent.size() - kCommandsShown : 0;
    for (size_t i = first; i < snap.recent.size(); ++i) {
      const Entry& e = snap.recent[i];
      const std::wstring line = Widen(EscapeField(e.command)) + (e.ok ? L"  ->  " : L"  !!  ") +
                                Widen(EscapeField(e.reply));
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    SendMessageW(list, LB_SETTOPINDEX, snap.recent.size() - first - 1, 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  if (snap.visible != sh.visible || snap.visible != (IsWindowVisible(hwnd) != FALSE)) {
    sh.visible = snap.visible;
    // Never take the focus: the tool may be about to send keystrokes to a capture program.
    ShowWindow(hwnd, snap.visible ? SW_SHOWNOACTIVATE : SW_HIDE);
  }
}

void Command(HWND hwnd, State& st, const std::string& command) {
  std::wstring message;
  try {
    st.host->Exec(command);
  } catch (const SimError& e) {
    message = Widen(e.what());
  }
  SetDlgItemTextW(hwnd, kIdMessage, message.c_str());
  Refresh(hwnd, st);
}

}  // namespace

SimWindowObject::SimWindowObject(SimHost& host, std::function<void()>* onUserClose)
    : st_(std::make_unique<State>(
          State{&host, onUserClose, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)),
                focura::win32::UniqueBrush(CreateSolidBrush(RGB(255, 80, 60))), Shown{}})) {}

SimWindowObject::~SimWindowObject() = default;

HWND SimWindowObject::Create() {
  return WindowBase::Create(0, RegisterSimWindowClass(), kSimWindowCaption,
                            WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                            CW_USEDEFAULT, SimPx(640), SimPx(430), nullptr, nullptr,
                            GetModuleHandleW(nullptr));
}

LRESULT SimWindowObject::Handle(UINT msg, WPARAM wp, LPARAM lp) {
  HWND hwnd = Hwnd();
  State& st = *st_;
  switch (msg) {
    case WM_CREATE:
      CreateControls(hwnd, st.font);
      SetTimer(hwnd, kTimerId, 100, nullptr);
      Refresh(hwnd, st);
      return 0;
    case WM_TIMER:
    case kRefreshMessage:
      Refresh(hwnd, st);
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == GetDlgItem(hwnd, kIdLamp) && st.shown.trigger) {
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 80, 60));
        return reinterpret_cast<LRESULT>(st.lampOn.get());
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (id >= kIdJogFirst && id < kIdJogFirst + 6) {
        Command(hwnd, st, "Sim Jog " + st.host->Format4(kJogSteps[id - kIdJogFirst]));
        return 0;
      }
      if (id == kIdStore) {
        Command(hwnd, st, "Sim Store");
        return 0;
      }
      break;
    }
    case WM_CLOSE:
      if (st.onUserClose != nullptr && *st.onUserClose)
        (*st.onUserClose)();
      else
        st.host->SetVisible(false);
      return 0;
    case kDestroyMessage:
      DestroyWhileBound();
      return 0;
    case WM_DESTROY:
      KillTimer(hwnd, kTimerId);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

int SimPx(int px96) {
  // The program declares itself DPI aware, so the system DPI holds for all its windows.
  static const int dpi = focura::win32::SystemDpi();
  return MulDiv(px96, dpi, 96);
}

namespace {

constexpr const wchar_t* kSimWindowClass = L"FocuraZServerSimulator";

}  // namespace

const wchar_t* RegisterSimWindowClass() {
  // Registered for each window, since an in-process server removes the class when it lets its
  // code go: one that stayed would send the next window's messages into unloaded code.
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &SimWindowObject::Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kSimWindowClass;
  RegisterClassExW(&wc);  // a class still registered is this one
  return kSimWindowClass;
}

void UnregisterSimWindowClass() {
  UnregisterClassW(kSimWindowClass, GetModuleHandleW(nullptr));
}

}  // namespace zsim::win32
