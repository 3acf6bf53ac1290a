// The pictures of the operator's guide, taken of the real program: scripts/screenshots runs this
// scenario (it is not part of the everyday suite) and photographs the screen on request. For each
// picture the scenario brings the program into the state shown, writes <name>.rect (the windows'
// screen rectangles) into the folder named by FOCURA_SHOTS and waits until <name>.png appears
// there. Windows are placed at fixed positions and every value is fixed, so a second run gives the
// same pictures unless the program itself changed.

#include "Desktop.h"
#include "E2ETest.h"
#include "ScopedEnvironment.h"
#include "win32/Owned.h"

#include <vector>

namespace focura::e2e {
namespace {

constexpr int kLeft = 40;
constexpr int kTop = 40;

std::string ShotsFolder() {
  wchar_t buf[1024];
  const DWORD n = GetEnvironmentVariableW(L"FOCURA_SHOTS", buf, 1024);
  return n > 0 && n < 1024 ? WinePath(Narrow(std::wstring(buf, n))) : std::string();
}

void PlaceAt(HWND window, int x, int y) {
  SetWindowPos(window, HWND_TOP, x, y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  Responsive(window, kStepMs);
}

// A focus rectangle on a button reads as the button chosen in a picture. Windows hides focus
// cues while the mouse is used; Wine draws them whatever the window's UI state says. The focused
// control is told that it lost the focus, so it draws itself without the cue; the keyboard focus
// itself stays where it was.
void HideFocusCues(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
      info.hwndFocus != nullptr && info.hwndFocus != window)
    SendMessageW(info.hwndFocus, WM_KILLFOCUS, 0, 0);
  Responsive(window, kStepMs);
}

HWND OpenMenuPopup() {
  HWND popup = nullptr;
  WaitUntil(
      [&] {
        popup = FindWindowW(L"#32768", nullptr);
        return popup != nullptr && IsWindowVisible(popup);
      },
      kStepMs);
  return popup;
}

class GuideScreenshots : public E2ETest {
 protected:
  // Asks for a picture of the screen area that `windows` cover and waits until it is taken.
  void Shot(const std::string& name, const std::vector<HWND>& windows) {
    for (HWND h : windows) {
      RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Responsive(h, kStepMs);
    }
    std::string rects;
    for (HWND h : windows) {
      RECT r{};
      GetWindowRect(h, &r);
      rects += std::to_string(r.left) + " " + std::to_string(r.top) + " " +
               std::to_string(r.right) + " " + std::to_string(r.bottom) + "\n";
    }
    const std::string folder = ShotsFolder();
    ASSERT_FALSE(folder.empty()) << "FOCURA_SHOTS names no folder";
    const std::string png = folder + "\\" + name + ".png";
    DeleteFileW(Wide(png).c_str());
    WriteFileText(folder + "\\" + name + ".rect", rects);
    ASSERT_TRUE(WaitUntil([&] { return FileExists(png); }, kStepMs)) << name << ".png not taken";
  }
};

TEST_F(GuideScreenshots, DryRunWithTheBuiltInSimulator) {
  // No Z server: the start-up offers the built-in simulator.
  tool->UnregisterZServer();
  {
    ScopedEnvironment log(L"ZSIM_LOG", tool->RecordPath());
    tool->StartProcess();
  }
  const HWND box = WaitForTopLevel(kToolCaption, tool->Tool().Id(), kStartMs, "#32770");
  ASSERT_NE(box, nullptr) << "no start-up message box";
  PlaceAt(box, kLeft, kTop);
  Shot("startup", {box});
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(tool->WaitMainWindow(kStartMs));
  tool->WaitRecord(3);
  const HWND main = tool->Main();
  PlaceAt(main, kLeft, kTop);

  // Two positions stored with the joystick, taken as the ends; five planes.
  EXPECT_EQ(Execute("Sim Jog 20 ; Z Wait ; Sim Store"), "OK ; OK ; Obj 1 20.0000");
  EXPECT_EQ(Execute("Sim Jog 80 ; Z Wait ; Sim Store"), "OK ; OK ; Obj 2 100.0000");
  tool->Click("cmdGetTopBot");
  EXPECT_EQ(tool->WaitStatusIs("ZTop= 20.00, ZBottom= 100.00, ZHeight= 80.00"),
            "ZTop= 20.00, ZBottom= 100.00, ZHeight= 80.00");
  SetPlanes(5, "20.00");
  SetTimings("0.5", "0.3", "0.0");
  EXPECT_EQ(tool->Status(), "ZTop= 20.00, ZBottom= 100.00, ZHeight= 80.00");
  ASSERT_FALSE(tool->Enabled("cmdFocura"));
  HideFocusCues(main);

  // The menu at the step that chooses from it: the plan set, Acquire Z Stack not yet available.
  // Opened by a click on its title, as the operator opens it, it highlights no item.
  SetForegroundWindow(main);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, kStepMs));
  // The menu bar lies just above the client area; the second title follows the first. Menus
  // of another process cannot be asked for their items' places, so they are measured here in the
  // menu font.
  POINT client{0, 0};
  ClientToScreen(main, &client);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  const win32::UniqueFont menuFontOwner(CreateFontIndirectW(&metrics.lfMenuFont));
  HFONT menuFont = menuFontOwner.get();
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, menuFont);
  SIZE first{}, second{};
  GetTextExtentPoint32W(dc, L"Z-Server", 8, &first);
  GetTextExtentPoint32W(dc, L"Image Capture", 13, &second);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int barHeight = GetSystemMetrics(SM_CYMENU);
  SetCursorPos(client.x + first.cx + 2 * GetSystemMetrics(SM_CXMENUCHECK) + second.cx / 2,
               client.y - barHeight / 2);
  INPUT click[2]{};
  click[0].type = click[1].type = INPUT_MOUSE;
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, click, sizeof(INPUT));
  const HWND popup = OpenMenuPopup();
  ASSERT_NE(popup, nullptr) << "the \"Image Capture\" menu did not open";
  Shot("capture-menu", {main, popup});
  // The window's own thread ends the menu's modal loop on WM_CANCELMODE.
  PostMessageW(main, WM_CANCELMODE, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(popup); }, kStepMs));

  // The hardware trigger, chosen in the "Image Capture" menu and probed.
  tool->Menu("mnuHWT");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdLaunchCapture"); }, kStepMs));
  tool->Click("cmdLaunchCapture");
  EXPECT_EQ(tool->WaitStatusIs("EZStepper simulator v1"), "EZStepper simulator v1");
  ASSERT_TRUE(WaitUntil([&] { return tool->Enabled("cmdFocura"); }, kStepMs));

  EXPECT_EQ(RunStack(), "Z-stack finished");
  HideFocusCues(main);
  Shot("window", {main});

  // The simulator's window after the run: the stored positions, the last commands and the five
  // pulses counted (their lengths vary a little from run to run).
  tool->Menu("mnuShowZServ");
  const HWND sim = WaitForTopLevel("Z server simulator", tool->Tool().Id(), kStepMs);
  ASSERT_NE(sim, nullptr) << "the simulator's window did not appear";
  RECT mainRect{};
  GetWindowRect(main, &mainRect);
  PlaceAt(sim, mainRect.right + 20, kTop);
  Shot("simulator", {sim});
  tool->Menu("mnuHideZServ");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(sim); }, kStepMs));

  // The log of the run in the editor, pasted by the tool itself: a picture of a hand-made paste
  // would show what the tool did not do.
  const auto before = NotepadWindows();
  tool->Menu("mnuZLog");
  NotepadView editor = WaitForNewNotepad(before, kStepMs);
  ASSERT_NE(editor.window, nullptr) << "the editor did not open";
  EXPECT_EQ(editor.text.rfind("Planes 5, Step = -20.00 ;", 0), 0u)
      << "editor: " << editor.text << "; status: " << tool->Status();
  SetWindowPos(editor.window, HWND_TOP, kLeft, kTop, 640, 300, SWP_NOACTIVATE);
  Responsive(editor.window, kStepMs);
  Shot("log", {editor.window});
  EndNotepad(editor);

  // An option prompt, answered with the value it shows.
  tool->Menu("mnuTriggerHold");
  const HWND prompt = WaitForTopLevel("Trigger Hold Time", tool->Tool().Id(), kStepMs);
  ASSERT_NE(prompt, nullptr);
  PlaceAt(prompt, kLeft, kTop);
  // Wine draws the selected default text from the box's edge, cutting its first letter; the
  // text is shown as it reads, without the selection's highlight.
  HideFocusCues(prompt);
  Shot("prompt", {prompt});
  EXPECT_EQ(tool->AnswerPrompt("Trigger Hold Time", "500"), "500");

  EXPECT_EQ(tool->CloseAndWait(), 0u);
}

}  // namespace
}  // namespace focura::e2e
