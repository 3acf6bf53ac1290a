#pragma once
// The tool's one window, drawn from the control and menu tables, with the message loop, the pump
// and the event dispatch to the window's logic.

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ui/Controls.h"
#include "ui/SessionEnd.h"
#include "ui/Window.h"
#include "win32/ControlTips.h"
#include "win32/MainWindowLayout.h"
#include "win32/Owned.h"
#include "win32/WindowBase.h"

namespace focura::win32 {

// Where the window's events go: the clicks, the opening of a menu, the close.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  // A click on a control or menu item that has a handler, or Command::mnuCapture when the
  // "Image Capture" menu opens.
  virtual void Dispatch(Command command) = 0;
  // The operator closes the window; called until Closed() says it was heard.
  virtual void Close() = 0;
  // Whether the close was heard: the window takes no more events and ends once nothing is Busy.
  virtual bool Closed() const = 0;
  // Whether a handler is in progress.
  virtual bool Busy() const = 0;
  // The text of a live tooltip, asked for as it is about to show ("" for none); never throws.
  virtual std::string Tip(Control control) = 0;
  // What a run in progress tells the user while it holds the end of the session; "" for none.
  virtual std::string RunInProgress() const { return ""; }
};

// For tests: called before each control is created with the window it goes into; returning true
// makes that creation fail as when the system runs out of window handles. Empty: none fails.
void SetControlCreationFaultForTest(std::function<bool(HWND window, Control control)> fault);

class MainWindow : public Window, public WindowBase<MainWindow>, private SessionEndPort {
 public:
  // `dpi` 0: the system's. Fonts and geometry are made for the DPI the window is drawn at.
  explicit MainWindow(HINSTANCE instance = GetModuleHandleW(nullptr), int dpi = 0);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  void Attach(WindowEvents* events) { events_ = events; }
  // Shows the window and puts the focus on the first control in tab order.
  void Show(int showCommand = SW_SHOWNORMAL);
  // Runs until the window is gone; returns the exit code (0 after a normal close).
  int RunMessageLoop();

  HWND Handle() const { return Hwnd(); }
  HWND ControlWindow(Control control) const;
  HMENU MenuBarHandle() const { return menus_.bar; }
  int Dpi() const { return dpi_; }
  // Asked of the window's logic, which alone keeps the close.
  bool CloseRequested() const;
  // The full text a control's tooltip shows ("" for none).
  std::wstring TipText(Control control) const;

  std::string GetText(Control control) override;
  void SetText(Control control, const std::string& text) override;
  void SetEnabled(Control control, bool enabled) override;
  void SetChecked(Control menuItem, bool checked) override;
  void SetTip(Control control, const std::string& text) override;
  // Runs every pending message once, replaying events held back by a modal wait first.
  // Throws WindowClosed once the window has been closed.
  void Pump() override;
  // Whether the window holds off the end of the session until its farewell is said.
  bool HoldingSessionEnd() const { return session_.Holding(); }

 private:
  enum class EventKind { Click, MenuOpen, Close };
  struct Event {
    EventKind kind;
    std::optional<Command> command;  // none for the close
  };

  friend class WindowBase<MainWindow>;
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void CreateControls();
  void Paint();
  bool RouteCommand(WPARAM wParam, LPARAM lParam);
  void Submit(Event event);
  void Deliver(const Event& event);
  void ReplayHeld();
  void FinishCloseIfIdle();
  void DispatchMessageOnce(MSG& msg);
  // The control's window; throws for a menu item, which has none.
  HWND ControlOrThrow(Control control) const;
  // The live tip of the run button: its caption when cut, then what the window's logic says.
  std::wstring LiveTip() const;

  void HoldEnd(const std::string& reason) override;
  void ReleaseEnd() override;
  void PostClose() override;
  void AnswerNow() override;
  void CloseNow() override;
  std::string RunInProgress() override;

  MenuBar menus_;  // the bar belongs to the window once it is created
  UniqueFont font_;
  int dpi_ = 96;
  SIZE minTrack_{};
  std::unique_ptr<ControlTips> tips_;
  std::wstring runCaptionTip_;  // the run button's caption when it does not fit, else ""
  std::wstring liveTip_;        // lives while the tooltip shows it
  wchar_t probeTip_[2048] = {};
  RECT statusDesign_{};
  WindowEvents* events_ = nullptr;
  bool closedUnattached_ = false;  // a close with no logic attached to hear it
  HWND lastFocus_ = nullptr;
  std::deque<Event> held_;
  std::function<void()> previousHook_;
  SessionEnd session_{*this};
};

}  // namespace focura::win32
