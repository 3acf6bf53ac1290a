// The main window: its layout from the tables, the menus, keyboard focus, event routing, the
// close during a handler, no handler starting while a Z server call waits, and the session's end.

#include "win32/MainWindow.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <map>
#include <thread>
#include <vector>

#include "capture/PlatformError.h"
#include "text/Errors.h"
#include "ui/Controls.h"
#include "win32/ComZServer.h"
#include "win32/FakeDispatch.h"
#include "win32/TestProbe.h"
#include "win32/Utf.h"
#include "win32/Win32Desktop.h"

namespace focura::win32 {
namespace {

// Records events; a handler may be scripted per name.
class Events : public WindowEvents {
 public:
  void Dispatch(Command command) override {
    const std::string name(ControlName(ControlOf(command)));
    log.push_back(name);
    ++busy;
    struct Done {
      int& b;
      ~Done() { --b; }
    } done{busy};
    if (auto it = handlers.find(name); it != handlers.end())
      it->second();
  }
  void Close() override {
    log.push_back("close");
    ++closes;
  }
  bool Closed() const override { return closes > 0; }
  bool Busy() const override { return busy > 0; }
  std::string Tip(Control control) override { return std::string(ControlName(control)) + " tip"; }

  std::vector<std::string> log;
  std::map<std::string, std::function<void()>> handlers;
  int busy = 0;
  int closes = 0;
};

void Drain(MainWindow& w) {
  try {
    w.Pump();
  } catch (const WindowClosed&) {
  }
}

// Runs the window until `done` holds or 2 s have passed.
template <typename Done>
void DrainUntil(MainWindow& w, Done done) {
  const DWORD start = GetTickCount();
  do {
    Drain(w);
  } while (!done() && GetTickCount() - start < 2000);
}

RECT ClientRectOf(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring TextOf(HWND h) {
  wchar_t buf[128] = {};
  GetWindowTextW(h, buf, 128);
  return buf;
}

TEST(MainWindowLayout, ControlsSitAtTheirTwipsRectanglesAt96Dpi) {
  MainWindow w(GetModuleHandleW(nullptr), 96);
  RECT client{};
  GetClientRect(w.Handle(), &client);
  EXPECT_EQ(client.right, 313);   // 4695 twips
  EXPECT_EQ(client.bottom, 233);  // 3495 twips
  EXPECT_EQ(TextOf(w.Handle()), L"Focura Acquisition");

  // At least its twips rectangle (176, 8, 129 x 33): wider where its caption needs it.
  const RECT launch = ClientRectOf(w.ControlWindow(Control::cmdLaunchCapture));
  EXPECT_LE(launch.left, 176);
  EXPECT_LE(launch.top, 8);
  EXPECT_GE(launch.right, 176 + 129);
  EXPECT_GE(launch.bottom, 8 + 33);
  const RECT status = ClientRectOf(w.ControlWindow(Control::lblMsg));
  EXPECT_EQ(status.left, 8);
  EXPECT_EQ(status.top, 208);
  EXPECT_EQ(status.right - status.left, 297);
  EXPECT_EQ(status.bottom - status.top, 17);
  for (const ControlSpec& c : MainControls()) {
    HWND h = w.ControlWindow(c.control);
    ASSERT_NE(h, nullptr) << c.name;
    // Only a control with a caption may have moved an edge, for its caption (CaptionsTest).
    if (c.caption.empty()) {
      const RECT r = ClientRectOf(h);
      EXPECT_EQ(r.left, c.left * 96 / 1440) << c.name;
      EXPECT_EQ(r.top, c.top * 96 / 1440) << c.name;
    }
    EXPECT_EQ(Narrow(TextOf(h)), c.caption) << c.name;
    const LONG style = GetWindowLongW(h, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.kind != ControlKind::Label) << c.name;
    wchar_t cls[16] = {};
    GetClassNameW(h, cls, 16);
    const std::wstring kind = cls;
    switch (c.kind) {
      case ControlKind::Button:
        EXPECT_EQ(kind, L"Button") << c.name;
        EXPECT_EQ(style & 0x0F, BS_PUSHBUTTON) << c.name;  // no default button
        break;
      case ControlKind::TextBox:
        EXPECT_EQ(kind, L"Edit") << c.name;
        EXPECT_NE(style & ES_AUTOHSCROLL, 0) << c.name;
        break;
      case ControlKind::Label:
        EXPECT_EQ(kind, L"Static") << c.name;
        EXPECT_NE(style & SS_NOPREFIX, 0) << c.name;
        break;
    }
  }
  // The window can grow but not shrink below the design size.
  MINMAXINFO info{};
  SendMessageW(w.Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  RECT frame{};
  GetWindowRect(w.Handle(), &frame);
  EXPECT_EQ(info.ptMinTrackSize.x, frame.right - frame.left);
  EXPECT_EQ(info.ptMinTrackSize.y, frame.bottom - frame.top);
}

std::wstring MenuText(HMENU menu, int pos) {
  wchar_t buf[64] = {};
  GetMenuStringW(menu, static_cast<UINT>(pos), buf, 64, MF_BYPOSITION);
  return buf;
}

TEST(MainWindowLayout, MenuBarFollowsTheMenuTable) {
  MainWindow w;
  HMENU bar = w.MenuBarHandle();
  ASSERT_EQ(GetMenuItemCount(bar), 2);
  EXPECT_EQ(MenuText(bar, 0), L"Z-Server");
  EXPECT_EQ(MenuText(bar, 1), L"Image Capture");
  HMENU zserv = GetSubMenu(bar, 0);
  ASSERT_EQ(GetMenuItemCount(zserv), 3);
  EXPECT_EQ(GetMenuItemID(zserv, 2), static_cast<UINT>(FindMenu(Control::mnuZLog)->id));
  HMENU capture = GetSubMenu(bar, 1);
  ASSERT_EQ(GetMenuItemCount(capture), 11);
  EXPECT_EQ(MenuText(capture, 0), L"Canon EOS Utility");
  EXPECT_EQ(MenuText(capture, 5), L"Hardware Trigger");
  EXPECT_NE(GetMenuState(capture, 6, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(MenuText(capture, 8), L"HW Trigger Hold Time");
  EXPECT_NE(GetMenuState(capture, 9, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(MenuText(capture, 10), L"Advanced");
  HMENU advanced = GetSubMenu(capture, 10);
  ASSERT_NE(advanced, nullptr);
  ASSERT_EQ(GetMenuItemCount(advanced), 1);
  EXPECT_EQ(MenuText(advanced, 0), L"Fuji Capture Key");
  EXPECT_EQ(GetMenuItemID(advanced, 0), static_cast<UINT>(FindMenu(Control::mnuFujiCapKey)->id));
}

TEST(MainWindowPort, TextsEnablingAndCheckMarksAsSeenFromOutside) {
  MainWindow w;
  w.SetText(Control::lblMsg, "Z: 12,5 \xC2\xB5m");
  EXPECT_EQ(TextOf(w.ControlWindow(Control::lblMsg)), L"Z: 12,5 \u00B5m");
  SetWindowTextW(w.ControlWindow(Control::txtStepSize), L"2,5");
  EXPECT_EQ(w.GetText(Control::txtStepSize), "2,5");
  w.SetEnabled(Control::cmdFocura, false);
  EXPECT_FALSE(IsWindowEnabled(w.ControlWindow(Control::cmdFocura)));
  w.SetEnabled(Control::cmdFocura, true);
  EXPECT_TRUE(IsWindowEnabled(w.ControlWindow(Control::cmdFocura)));
  // A menu item has no text, and a value beyond the table names nothing.
  EXPECT_THROW(w.SetText(Control::mnuHWT, "x"), std::invalid_argument);
  EXPECT_THROW(w.SetText(static_cast<Control>(9999), "x"), std::invalid_argument);
  EXPECT_THROW(w.SetChecked(Control::mnuCapture, true), std::invalid_argument);

  // The probe another process uses, since it cannot read the menu itself.
  const WPARAM hwt = static_cast<WPARAM>(FindMenu(Control::mnuHWT)->id);
  const WPARAM path = static_cast<WPARAM>(FindMenu(Control::mnuPath)->id);
  EXPECT_EQ(SendMessageW(w.Handle(), kProbeMenuChecked, hwt, 0), 0);
  w.SetChecked(Control::mnuHWT, true);
  EXPECT_EQ(SendMessageW(w.Handle(), kProbeMenuChecked, hwt, 0), 1);
  EXPECT_EQ(SendMessageW(w.Handle(), kProbeMenuChecked, path, 0), 0);
  w.SetChecked(Control::mnuHWT, false);
  EXPECT_EQ(SendMessageW(w.Handle(), kProbeMenuChecked, hwt, 0), 0);
  EXPECT_EQ(SendMessageW(w.Handle(), kProbeMenuChecked, 4242, 0), -1);
}

TEST(MainWindowEvents, ClicksAndTheCaptureMenuReachTheirHandlersByName) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  PostMessageW(w.ControlWindow(Control::cmdExecute), BM_CLICK, 0, 0);
  PostMessageW(w.Handle(), WM_COMMAND, static_cast<WPARAM>(FindMenu(Control::mnuHWT)->id), 0);
  PostMessageW(w.Handle(), WM_COMMAND, IDOK, 0);
  PostMessageW(w.Handle(), WM_COMMAND, IDCANCEL, 0);
  HMENU bar = w.MenuBarHandle();
  SendMessageW(w.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 0)), 0);
  SendMessageW(w.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(GetSubMenu(bar, 1)), 1);
  w.SetEnabled(Control::cmdCapture, false);
  PostMessageW(w.Handle(), WM_COMMAND, MAKEWPARAM(FindControl(Control::cmdCapture)->id, BN_CLICKED),
               reinterpret_cast<LPARAM>(w.ControlWindow(Control::cmdCapture)));
  Drain(w);
  EXPECT_EQ(events.log, (std::vector<std::string>{"mnuCapture", "cmdExecute", "mnuHWT"}));
}

TEST(MainWindowEvents, AHandlerThatFailsReportsInTheStatusLineAndTheWindowLives) {
  MainWindow w;
  Events events;
  events.handlers["cmdSetTop"] = [] { throw ConversionError("not a number"); };
  w.Attach(&events);
  PostMessageW(w.ControlWindow(Control::cmdSetTop), BM_CLICK, 0, 0);
  Drain(w);
  EXPECT_EQ(w.GetText(Control::lblMsg), "not a number");
  EXPECT_TRUE(IsWindow(w.Handle()));
}

// The window shown and in front, with the focus where the window put it.
struct Shown {
  Shown() {
    w.Attach(&events);
    w.Show();
    SetForegroundWindow(w.Handle());
    Drain(w);
  }
  MainWindow w;
  Events events;
};

TEST(MainWindowKeyboard, TabFollowsTheTabOrderAndEnterOrEscClickNothing) {
  Shown shown;
  MainWindow& w = shown.w;
  Events& events = shown.events;
  EXPECT_EQ(GetFocus(), w.ControlWindow(Control::cmdGetTopBot));
  Win32Desktop desktop;
  using enum Control;
  const Control expected[] = {txtCommand,     cmdExecute,   cmdFocura,   cmdSetNum,
                              cmdSetStepSize, txtNumPlanes, txtStepSize, cmdSetTop};
  for (const Control control : expected) {
    desktop.SendKeys({KeyStroke::Named(NamedKey::Tab)});
    DrainUntil(w, [&] { return GetFocus() == w.ControlWindow(control); });
    EXPECT_EQ(GetFocus(), w.ControlWindow(control)) << ControlName(control);
  }
  SetFocus(w.ControlWindow(Control::txtCommand));
  desktop.SendKeys({KeyStroke::Char(U'x'), KeyStroke::Named(NamedKey::Enter),
                    KeyStroke::Named(NamedKey::Escape)});
  DrainUntil(w, [&] { return w.GetText(Control::txtCommand) == "x"; });
  Sleep(50);
  Drain(w);
  EXPECT_EQ(w.GetText(Control::txtCommand), "x");
  EXPECT_TRUE(events.log.empty());
  EXPECT_TRUE(IsWindow(w.Handle()));
}

template <typename Done>
void PressEnter(MainWindow& w, Win32Desktop& desktop, Done done) {
  desktop.SendKeys({KeyStroke::Named(NamedKey::Enter)});
  DrainUntil(w, done);
}

TEST(MainWindowKeyboard, EnterClicksTheFocusedButtonHoweverTheFocusGotThere) {
  Shown shown;
  MainWindow& w = shown.w;
  Events& events = shown.events;
  Win32Desktop desktop;
  const auto clicks = [&] { return events.log.size(); };

  // Where the window put it at start.
  PressEnter(w, desktop, [&] { return clicks() == 1; });
  // By Tab, past a text box.
  desktop.SendKeys({KeyStroke::Named(NamedKey::Tab), KeyStroke::Named(NamedKey::Tab)});
  DrainUntil(w, [&] { return GetFocus() == w.ControlWindow(Control::cmdExecute); });
  PressEnter(w, desktop, [&] { return clicks() == 2; });
  // By the program.
  SetFocus(w.ControlWindow(Control::cmdSetBot));
  PressEnter(w, desktop, [&] { return clicks() == 3; });
  // By the mouse: the press clicks once, Enter once more.
  HWND setTop = w.ControlWindow(Control::cmdSetTop);
  PostMessageW(setTop, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(setTop, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  DrainUntil(w, [&] { return clicks() == 4; });
  EXPECT_EQ(GetFocus(), setTop);
  PressEnter(w, desktop, [&] { return clicks() == 5; });
  // Back from another window: the focus returns to the button that had it.
  UniqueWindow owned(CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                     nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  HWND other = owned.get();
  SetForegroundWindow(other);
  SetActiveWindow(other);
  Drain(w);
  SetForegroundWindow(w.Handle());
  SetActiveWindow(w.Handle());
  Drain(w);
  owned.reset();
  EXPECT_EQ(GetFocus(), setTop);
  PressEnter(w, desktop, [&] { return clicks() == 6; });
  // A disabled button is not clicked by a posted Enter either.
  w.SetEnabled(Control::cmdCapture, false);
  PostMessageW(w.ControlWindow(Control::cmdCapture), WM_KEYDOWN, VK_RETURN, 1);
  Drain(w);

  EXPECT_EQ(events.log, (std::vector<std::string>{"cmdGetTopBot", "cmdExecute", "cmdSetBot",
                                                  "cmdSetTop", "cmdSetTop", "cmdSetTop"}));
}

TEST(MainWindowStatusLine, AFailureTooLongForTheLineIsWholeInItsTooltipAndTheLineWidens) {
  MainWindow w;
  Events events;
  const std::string failure =
      "The Z server did not answer: the call failed with RPC_E_DISCONNECTED (0x80010108); the run "
      "stopped after plane 12 of 40";
  events.handlers["cmdFocura"] = [&] { throw PlatformError(failure); };
  w.Attach(&events);
  HWND status = w.ControlWindow(Control::lblMsg);
  w.SetText(Control::lblMsg, "Z-stack finished");
  EXPECT_EQ(w.TipText(Control::lblMsg), L"");  // nothing hidden, nothing to show

  PostMessageW(w.ControlWindow(Control::cmdFocura), BM_CLICK, 0, 0);
  Drain(w);
  ASSERT_EQ(w.GetText(Control::lblMsg), failure);
  EXPECT_EQ(Narrow(w.TipText(Control::lblMsg)), failure);

  const RECT before = ClientRectOf(status);
  RECT frame{};
  GetWindowRect(w.Handle(), &frame);
  SetWindowPos(w.Handle(), nullptr, 0, 0, frame.right - frame.left + 600, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER);
  Drain(w);
  const RECT after = ClientRectOf(status);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.right - after.left, before.right - before.left + 600);
  EXPECT_EQ(w.TipText(Control::lblMsg), L"");  // now all of it is in view
  // Narrowed again, never below its design width.
  SetWindowPos(w.Handle(), nullptr, 0, 0, frame.right - frame.left - 100, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER);
  Drain(w);
  EXPECT_EQ(ClientRectOf(status).right, before.right);
  EXPECT_EQ(Narrow(w.TipText(Control::lblMsg)), failure);
}

TEST(MainWindowStatusLine, AReasonStaysInTheTooltipUntilTheNextTextAndTheRunButtonAsksItsTip) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  w.SetText(Control::lblMsg, "Error");
  w.SetTip(Control::lblMsg, "Set Top: the Z server's reply \"\" has no number");
  EXPECT_EQ(Narrow(w.TipText(Control::lblMsg)), "Set Top: the Z server's reply \"\" has no number");
  w.SetText(Control::lblMsg, "ZTop= 1.00, ZBottom= 77777.00, ZHeight= 77776.00");
  EXPECT_EQ(w.TipText(Control::lblMsg), L"");  // the reason went with its word
  // A reason beside a text too long for the line: both, the text first.
  const std::string longText(300, 'x');
  w.SetText(Control::lblMsg, longText);
  w.SetTip(Control::lblMsg, "why");
  EXPECT_EQ(Narrow(w.TipText(Control::lblMsg)), longText + "\nwhy");
  // The run button's tip is asked for each time it is shown.
  EXPECT_EQ(Narrow(w.TipText(Control::cmdFocura)), "cmdFocura tip");
  w.SetTip(Control::cmdExecute, "sends the text as typed");
  EXPECT_EQ(Narrow(w.TipText(Control::cmdExecute)), "sends the text as typed");
}

// A message loop run from inside the window, as the system's own loops run: here the one an
// outgoing call to an out-of-process server waits in.
void RunPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

TEST(MainWindowReentrancy, NoHandlerStartsWhileAZServerCallWaits) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  testing::FakeDispatch server;
  ComZServer z(&server);
  std::vector<std::string> seenDuringCall;
  server.behaviour = [&](const std::wstring&, VARIANT* result, EXCEPINFO*) {
    // Another program clicks while the call is on its way; the wait loop dispatches.
    PostMessageW(w.ControlWindow(Control::cmdExecute), BM_CLICK, 0, 0);
    PostMessageW(w.Handle(), WM_COMMAND, static_cast<WPARAM>(FindMenu(Control::mnuZLog)->id), 0);
    SendMessageW(w.Handle(), WM_INITMENUPOPUP,
                 reinterpret_cast<WPARAM>(GetSubMenu(w.MenuBarHandle(), 1)), 0);
    RunPendingMessages();
    seenDuringCall = events.log;
    return testing::ReplyText(result, L"Z: 1.0");
  };
  events.handlers["cmdFocura"] = [&] { EXPECT_EQ(z.Exec("Z ?"), "Z: 1.0"); };
  PostMessageW(w.ControlWindow(Control::cmdFocura), BM_CLICK, 0, 0);
  Drain(w);  // runs cmdFocura
  EXPECT_EQ(seenDuringCall, (std::vector<std::string>{"cmdFocura"}));
  Drain(w);  // the held events, in the order they arrived (the sent one first), after the handler
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"cmdFocura", "mnuCapture", "cmdExecute", "mnuZLog"}));
}

TEST(MainWindowReentrancy, ACloseDuringAZServerCallWaitsForTheCallToEnd) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  testing::FakeDispatch server;
  ComZServer z(&server);
  int closesDuringCall = -1;
  server.behaviour = [&](const std::wstring&, VARIANT*, EXCEPINFO*) {
    PostMessageW(w.Handle(), WM_CLOSE, 0, 0);
    RunPendingMessages();
    closesDuringCall = events.closes;
    return S_OK;
  };
  z.Exec("Hide");
  EXPECT_EQ(closesDuringCall, 0);
  const DWORD start = GetTickCount();
  while (w.Handle() != nullptr && GetTickCount() - start < 2000)
    Drain(w);
  EXPECT_EQ(events.closes, 1);
  EXPECT_EQ(w.Handle(), nullptr);
}

TEST(MainWindowClose, ClosingInsideAHandlerUnwindsItAndEndsTheLoopOnlyAfterwards) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  bool unwound = false;
  bool aliveDuringHandler = false;
  events.handlers["cmdFocura"] = [&] {
    PostMessageW(w.Handle(), WM_CLOSE, 0, 0);
    PostMessageW(w.ControlWindow(Control::cmdSetTop), BM_CLICK, 0, 0);
    try {
      w.Pump();
    } catch (const WindowClosed&) {
      unwound = true;
      aliveDuringHandler = IsWindow(w.Handle()) != FALSE;
      throw;
    }
  };
  PostMessageW(w.ControlWindow(Control::cmdFocura), BM_CLICK, 0, 0);
  EXPECT_EQ(w.RunMessageLoop(), 0);
  EXPECT_TRUE(unwound);
  EXPECT_TRUE(aliveDuringHandler);
  EXPECT_EQ(events.closes, 1);
  // Nothing runs after the close, not even a click queued behind it.
  EXPECT_EQ(events.log, (std::vector<std::string>{"cmdFocura", "close"}));
  EXPECT_THROW(w.Pump(), WindowClosed);
}

TEST(MainWindowClose, ACloseThatCameWhileTheLoadRanEndsTheLoopAtOnce) {
  MainWindow w;
  Events events;
  w.Attach(&events);
  events.busy = 1;  // the load: the Z server is being created
  PostMessageW(w.Handle(), WM_CLOSE, 0, 0);
  Drain(w);
  EXPECT_EQ(events.closes, 1);
  EXPECT_NE(w.Handle(), nullptr);
  events.busy = 0;
  // A loop that would wait for ever ends with another code after 2 s.
  const DWORD loopThread = GetCurrentThreadId();
  std::atomic<bool> ended = false;
  std::thread watchdog([&] {
    for (int i = 0; i < 200 && !ended; ++i)
      Sleep(10);
    if (!ended)
      PostThreadMessageW(loopThread, WM_QUIT, 99, 0);
  });
  EXPECT_EQ(w.RunMessageLoop(), 0);
  ended = true;
  watchdog.join();
  EXPECT_EQ(w.Handle(), nullptr);
}

// Sends `msg` from another thread, as the system does at the session's end, while this thread
// runs the window; returns the answer.
LRESULT SendFromAnotherThread(MainWindow& w, UINT msg, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0xBAD;
  std::atomic<bool> done = false;
  std::thread sender([&] {
    SendMessageTimeoutW(w.Handle(), msg, wParam, lParam, SMTO_NORMAL, 5000, &answer);
    done = true;
  });
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 5000) {
    MSG m;
    // Takes the sent message only: anything posted waits for the loop, as it would.
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    Sleep(1);
  }
  sender.join();
  return static_cast<LRESULT>(answer);
}

// The farewell as COM would take it: refused while a message sent by another thread is being
// handled and not yet answered.
class RefusingEvents : public Events {
 public:
  void Close() override {
    const DWORD send = InSendMessageEx(nullptr);
    log.push_back((send & (ISMEX_SEND | ISMEX_REPLIED)) == ISMEX_SEND ? "refused" : "Unload");
    ++closes;
  }
};

TEST(MainWindowSessionEnd, TheFarewellIsSaidFromTheLoopNeverInsideTheSystemsMessage) {
  struct Case {
    const char* what;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    bool holdsUntilTheLoop;
  };
  const Case cases[] = {
      {"asked at log-off: not yet, held, closed from the loop", WM_QUERYENDSESSION, 0,
       static_cast<LPARAM>(ENDSESSION_LOGOFF), FALSE, true},
      {"asked at a forced end: yes, the close queued", WM_QUERYENDSESSION, 0,
       static_cast<LPARAM>(ENDSESSION_CRITICAL), TRUE, false},
      {"the end announced: answered first, then closed", WM_ENDSESSION, TRUE, 0, 0, false},
      {"a close sent from another program", WM_CLOSE, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    MainWindow w;
    RefusingEvents events;
    w.Attach(&events);
    EXPECT_EQ(SendFromAnotherThread(w, c.msg, c.wParam, c.lParam), c.answer) << c.what;
    EXPECT_EQ(w.HoldingSessionEnd(), c.holdsUntilTheLoop) << c.what;
    DrainUntil(w, [&] { return w.Handle() == nullptr; });
    EXPECT_EQ(events.log, std::vector<std::string>{"Unload"}) << c.what;
    EXPECT_FALSE(w.HoldingSessionEnd()) << c.what;
    EXPECT_EQ(w.Handle(), nullptr) << c.what;
    MSG quit;  // the destroyed window's, which would end the next case's pumping early
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }
}

TEST(MainWindowSessionEnd, ACloseHeldByAZServerCallIsDeliveredWhenTheCallEnds) {
  MainWindow w;
  RefusingEvents events;
  w.Attach(&events);
  testing::FakeDispatch server;
  ComZServer z(&server);
  LRESULT answer = -1;
  server.behaviour = [&](const std::wstring&, VARIANT*, EXCEPINFO*) {
    // The system asks while the call waits; the call's own loop runs what arrives.
    answer = SendFromAnotherThread(w, WM_QUERYENDSESSION, 0, 0);
    RunPendingMessages();
    return S_OK;
  };
  z.Exec("Hide");
  EXPECT_EQ(answer, FALSE);
  EXPECT_TRUE(events.log.empty());
  EXPECT_TRUE(w.HoldingSessionEnd());
  DrainUntil(w, [&] { return w.Handle() == nullptr; });
  EXPECT_EQ(events.log, std::vector<std::string>{"Unload"});
  EXPECT_FALSE(w.HoldingSessionEnd());
}

}  // namespace
}  // namespace focura::win32

namespace focura::win32 {
namespace {

BOOL CALLBACK AddMainWindow(HWND hwnd, LPARAM found) noexcept {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (std::wstring_view(name) == kMainWindowClass)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
  return TRUE;
}

// The windows of the main window's class that this thread still has.
std::vector<HWND> MainWindowsOfThisThread() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), AddMainWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(MainWindowCreation, AControlThatCannotBeCreatedLeavesNoWindowBoundToTheDeadObject) {
  // The first control, one in the middle, the last: the window exists by then in every case.
  const auto controls = MainControls();
  for (const ControlSpec* spec :
       {&controls.front(), &controls[controls.size() / 2], &controls.back()}) {
    const std::string_view failing = spec->name;
    SCOPED_TRACE(std::string(failing));
    HWND created = nullptr;
    SetControlCreationFaultForTest([&](HWND window, Control control) {
      created = window;
      return control == spec->control;
    });
    try {
      MainWindow w;
      ADD_FAILURE() << "the window was made without " << failing;
    } catch (const PlatformError& e) {
      EXPECT_NE(std::string(e.what()).find(std::string(failing)), std::string::npos) << e.what();
    }
    SetControlCreationFaultForTest({});
    ASSERT_NE(created, nullptr);
    EXPECT_FALSE(IsWindow(created));
    EXPECT_TRUE(MainWindowsOfThisThread().empty());
    // What the fatal-error box's modal loop would dispatch: a close, a paint, a click.
    PostMessageW(created, WM_CLOSE, 0, 0);
    PostMessageW(created, WM_COMMAND, MAKEWPARAM(controls.front().id, BN_CLICKED), 0);
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
  }
  // A window made afterwards works as ever.
  MainWindow w;
  EXPECT_EQ(MainWindowsOfThisThread().size(), 1u);
}

}  // namespace
}  // namespace focura::win32
