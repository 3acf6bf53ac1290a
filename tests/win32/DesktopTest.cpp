// Keys, programs and the clipboard of the desktop.

#include "win32/Win32Desktop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "capture/PlatformError.h"
#include "win32/KeyInput.h"
#include "win32/KeyRecorder.h"
#include "win32/KeyWatch.h"
#include "win32/Owned.h"
#include "win32/Utf.h"
#include "win32/Win32DesktopView.h"
#include "win32/Win32Keyboard.h"

namespace focura::win32 {
namespace {

using testing::KeyRecord;
using testing::KeyRecorder;

std::vector<std::pair<WORD, bool>> KeyEvents(const std::vector<INPUT>& inputs) {
  std::vector<std::pair<WORD, bool>> out;  // (virtual key, down)
  for (const INPUT& in : inputs) {
    out.emplace_back(in.ki.wVk, (in.ki.dwFlags & KEYEVENTF_KEYUP) == 0);
  }
  return out;
}

TEST(KeyInputs, CharactersAndNamedKeysBecomeVirtualKeysWithScanCodes) {
  using K = std::vector<std::pair<WORD, bool>>;
  // A blank is the space bar, not a Unicode packet.
  const auto blank = KeyInputs({KeyStroke::Char(U' ')});
  EXPECT_EQ(KeyEvents(blank), (K{{VK_SPACE, true}, {VK_SPACE, false}}));
  EXPECT_NE(blank[0].ki.wScan, 0);
  EXPECT_EQ(blank[0].ki.dwFlags & KEYEVENTF_UNICODE, 0u);

  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Named(NamedKey::F8)})),
            (K{{VK_F8, true}, {VK_F8, false}}));
  // Modifiers are pressed around the key and released in reverse order.
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'a', kModShift)})),
            (K{{VK_SHIFT, true}, {'A', true}, {'A', false}, {VK_SHIFT, false}}));
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'v', kModCtrl)})),
            (K{{VK_CONTROL, true}, {'V', true}, {'V', false}, {VK_CONTROL, false}}));
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Named(NamedKey::Enter, kModCtrl | kModAlt)})),
            (K{{VK_CONTROL, true},
               {VK_MENU, true},
               {VK_RETURN, true},
               {VK_RETURN, false},
               {VK_MENU, false},
               {VK_CONTROL, false}}));
  // An upper-case letter takes the shift key the layout needs for it, except under Ctrl or Alt.
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'Q')})),
            (K{{VK_SHIFT, true}, {'Q', true}, {'Q', false}, {VK_SHIFT, false}}));
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'V', kModCtrl)})),
            KeyEvents(KeyInputs({KeyStroke::Char(U'v', kModCtrl)})));
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'V', kModAlt)})),
            (K{{VK_MENU, true}, {'V', true}, {'V', false}, {VK_MENU, false}}));
  EXPECT_EQ(KeyEvents(KeyInputs({KeyStroke::Char(U'v', kModShift | kModCtrl)})),
            (K{{VK_SHIFT, true},
               {VK_CONTROL, true},
               {'V', true},
               {'V', false},
               {VK_CONTROL, false},
               {VK_SHIFT, false}}));
}

TEST(KeyInputs, ExtendedKeysAreFlaggedAndUnmappedCharactersGoAsUnicode) {
  for (NamedKey k :
       {NamedKey::Up, NamedKey::Left, NamedKey::Insert, NamedKey::Delete, NamedKey::Home,
        NamedKey::End, NamedKey::PageUp, NamedKey::PageDown, NamedKey::Divide}) {
    const auto in = KeyInputs({KeyStroke::Named(k)});
    ASSERT_EQ(in.size(), 2u);
    EXPECT_NE(in[0].ki.dwFlags & KEYEVENTF_EXTENDEDKEY, 0u) << static_cast<int>(k);
  }
  for (NamedKey k : {NamedKey::Enter, NamedKey::Add, NamedKey::F1, NamedKey::Tab}) {
    EXPECT_EQ(KeyInputs({KeyStroke::Named(k)})[0].ki.dwFlags & KEYEVENTF_EXTENDEDKEY, 0u);
  }
  EXPECT_EQ(VirtualKeyOf(NamedKey::F16), VK_F16);
  const auto cjk = KeyInputs({KeyStroke::Char(U'\u4E2D')});
  ASSERT_EQ(cjk.size(), 2u);
  EXPECT_NE(cjk[0].ki.dwFlags & KEYEVENTF_UNICODE, 0u);
  EXPECT_EQ(cjk[0].ki.wScan, 0x4E2D);
  EXPECT_TRUE(KeyInputs({}).empty());
}

bool Has(const std::vector<KeyRecord>& r, UINT message, WPARAM code) {
  return std::any_of(r.begin(), r.end(),
                     [&](const KeyRecord& k) { return k.message == message && k.code == code; });
}

TEST(Win32Desktop, SentKeysReachTheFocusedWindowAsRealKeys) {
  KeyRecorder target;
  ASSERT_NE(target.Handle(), nullptr);
  Win32Desktop desktop;
  desktop.SendKeys({KeyStroke::Char(U' '), KeyStroke::Named(NamedKey::F8),
                    KeyStroke::Char(U'a', kModShift), KeyStroke::Char(U'v', kModCtrl)});
  const auto r = target.WaitFor(12);
  EXPECT_TRUE(Has(r, WM_KEYDOWN, VK_SPACE));
  EXPECT_TRUE(Has(r, WM_CHAR, L' '));
  EXPECT_TRUE(Has(r, WM_KEYDOWN, VK_F8));
  EXPECT_TRUE(Has(r, WM_CHAR, L'A'));
  EXPECT_FALSE(Has(r, WM_CHAR, L'a'));
  // Ctrl+V: the V key with Ctrl held, which makes the control character SYN.
  auto v = std::find_if(r.begin(), r.end(), [](const KeyRecord& k) {
    return k.message == WM_KEYDOWN && k.code == 'V';
  });
  ASSERT_NE(v, r.end());
  EXPECT_TRUE(v->ctrlDown);
  EXPECT_TRUE(Has(r, WM_CHAR, 0x16));
}

// The wait for handled keys starts from the injected keys passing the input stage: ours are
// counted, the operator's are not.
TEST(KeyWatch, CountsOnlyTheTaggedKeysThatPassed) {
  KeyRecorder target;
  ASSERT_NE(target.Handle(), nullptr);
  KeyWatch watch;
  ASSERT_TRUE(watch.Active());
  const uint64_t before = watch.Passed();
  std::vector<INPUT> keys = KeyInputs({KeyStroke::Char(U'x'), KeyStroke::Char(U'y')});
  keys[2].ki.dwExtraInfo = kKeyTag;
  keys[3].ki.dwExtraInfo = kKeyTag;
  ASSERT_EQ(SendInput(4, keys.data(), sizeof(INPUT)), 4u);
  EXPECT_TRUE(watch.WaitPassed(before + 2, 5000));
  target.WaitFor(4);
  EXPECT_EQ(watch.Passed(), before + 2);
  // The tool's own level can be read, and a program it starts runs at the same one.
  EXPECT_TRUE(ProcessIntegrity(GetCurrentProcess()).has_value());
}

// The steps the key wait is made of, on the real input stage: the watch and the system's
// last-input time both see an insertion, a watch set up again counts on, and the program in
// front is seen alive and answering.
TEST(Win32Keyboard, TheWaitsLooksSeeTheKeysPassAndTheWatchCanBeSetUpAgain) {
  KeyRecorder target;
  ASSERT_NE(target.Handle(), nullptr);
  Win32Keyboard keyboard;
  ASSERT_TRUE(keyboard.Watching());
  for (int round = 0; round < 2; ++round) {
    target.Clear();
    std::string failure;
    ASSERT_TRUE(keyboard.Insert({KeyStroke::Char(U'x')}, failure)) << failure;
    EXPECT_TRUE(keyboard.WaitWatched(5000)) << round;
    EXPECT_TRUE(keyboard.InputStageMoved()) << round;
    EXPECT_EQ(keyboard.WaitHandled(5000), KeysHandled::Yes) << round;
    EXPECT_EQ(keyboard.Target(), KeyTarget::Alive) << round;
    EXPECT_TRUE(Has(target.WaitFor(2), WM_KEYDOWN, 'X')) << round;
    keyboard.RenewWatch();
    EXPECT_EQ(keyboard.Watch().Renewals(), round + 1);
    EXPECT_TRUE(keyboard.Watching());
  }
  // An unlocked desktop is the input desktop.
  Win32Desktop desktop;
  EXPECT_FALSE(desktop.DesktopLocked());
}

TEST(Win32Desktop, ClipboardHoldsExactlyTheLastTextSet) {
  Win32Desktop desktop;
  desktop.SetClipboardText("first");
  const std::string log = "Plane 1 Z: 10.0000\r\nPlane 2 Z: 9.5000 \xC2\xB5m\r\n";
  desktop.SetClipboardText(log);
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  std::wstring text;
  if (data != nullptr) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  EXPECT_EQ(Narrow(text), log);
}

TEST(Win32Desktop, AProgramThatCannotStartGivesTheSystemsReason) {
  Win32Desktop desktop;
  try {
    desktop.StartProgram("\"C:\\Program Files\\Nowhere\\none.exe\"");
    FAIL() << "started";
  } catch (const PlatformError& e) {
    const std::string what = e.what();
    EXPECT_NE(what.find("none.exe"), std::string::npos) << what;
    EXPECT_GT(what.find(": "), 0u) << what;
  }
  EXPECT_THROW(desktop.ActivateTask(0x7FFFFFF0), PlatformError);
}

class Task {
 public:
  explicit Task(DWORD pid) : pid_(pid) {}
  ~Task() {
    if (const UniqueHandle h{OpenProcess(PROCESS_TERMINATE, FALSE, pid_)}) {
      TerminateProcess(h.get(), 0);
      WaitForSingleObject(h.get(), 2000);
    }
  }
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

 private:
  DWORD pid_;
};

// The plain-text editor: started with the focus, typed into, then brought back to the front.
TEST(Win32Desktop, StartsTypesIntoAndActivatesAnotherProgram) {
  Win32Desktop desktop;
  const int32_t task = desktop.StartProgram("notepad.exe");
  Task cleanup(static_cast<DWORD>(task));
  ASSERT_GT(task, 0);
  const DWORD start = GetTickCount();
  HWND editor = nullptr;
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  while (GetTickCount() - start < 5000) {
    editor = desktop.TaskWindowOf(task);
    if (editor != nullptr && desktop.IsTaskForeground(task) &&
        GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &gui) &&
        gui.hwndFocus != nullptr) {
      break;
    }
    Sleep(20);
  }
  ASSERT_TRUE(desktop.IsTaskForeground(task));
  EXPECT_TRUE(desktop.WaitTaskTextFocus(task));
  desktop.SendKeys(
      {KeyStroke::Char(U'o'), KeyStroke::Char(U'k'), KeyStroke::Char(U' '), KeyStroke::Char(U'Z')});
  HWND edit = FindWindowExW(editor, nullptr, L"Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  wchar_t text[64] = {};
  const DWORD begin = GetTickCount();
  do {
    SendMessageW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    if (std::wstring(text) == L"ok Z")
      break;
    Sleep(20);
  } while (GetTickCount() - begin < 3000);
  EXPECT_EQ(std::wstring(text), L"ok Z");

  KeyRecorder other;  // takes the foreground away from the editor
  ASSERT_NE(other.Handle(), nullptr);
  while (desktop.IsTaskForeground(task) && GetTickCount() - start < 8000)
    Sleep(20);
  ASSERT_FALSE(desktop.IsTaskForeground(task));
  EXPECT_EQ(desktop.ActivateTask(task), TaskActivation::Asked);
  EXPECT_TRUE(desktop.IsTaskForeground(task));
  EXPECT_EQ(GetForegroundWindow(), editor);

  // Once the program has ended its task says so at once, and nothing else is taken for it.
  {
    const UniqueHandle process(
        OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(task)));
    ASSERT_TRUE(process);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 5000);
  }
  EXPECT_EQ(desktop.ActivateTask(task), TaskActivation::Ended);
  EXPECT_FALSE(desktop.IsTaskForeground(task));
  EXPECT_FALSE(desktop.WaitTaskTextFocus(task));
}

// What a running copy of a program may do instead of taking the front must show in a snapshot.
// (Wine's shell reports no taskbar flashes, so only a real desktop can show those.)
TEST(Win32DesktopView, ShowsWhetherAWindowIsMinimized) {
  KeyRecorder window;
  ASSERT_NE(window.Handle(), nullptr);
  Win32DesktopView view;
  const auto entry = [&] {
    for (const WindowEntry& w : view.Snapshot().windows) {
      if (w.handle == reinterpret_cast<uint64_t>(window.Handle()))
        return w;
    }
    return WindowEntry{};
  };
  EXPECT_TRUE(entry().visible);
  EXPECT_FALSE(entry().minimized);
  ShowWindowAsync(window.Handle(), SW_MINIMIZE);
  const DWORD start = GetTickCount();
  while (!entry().minimized && GetTickCount() - start < 5000)
    Sleep(20);
  EXPECT_TRUE(entry().minimized);
  EXPECT_TRUE(entry().visible);
  ShowWindowAsync(window.Handle(), SW_RESTORE);
  while (entry().minimized && GetTickCount() - start < 10000)
    Sleep(20);
  EXPECT_FALSE(entry().minimized);
}

}  // namespace
}  // namespace focura::win32
