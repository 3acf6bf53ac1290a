// The modal prompt, answered from another thread as an operator would.

#include "win32/InputBox.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "win32/Utf.h"

namespace focura::win32 {
namespace {

struct Seen {
  std::wstring title, text, edit, face;
  DWORD selStart = 0, selEnd = 0;
  bool found = false;
};

// A window-enumeration callback: a named function, since a lambda converts only to the default
// calling convention, which is not the system's in a 32-bit program.
BOOL CALLBACK FindVisibleDialog(HWND h, LPARAM p) {
  wchar_t cls[16] = {};
  GetClassNameW(h, cls, 16);
  if (std::wstring(cls) == L"#32770" && IsWindowVisible(h)) {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

// Finds the prompt of `thread`, notes what it shows, then lets `answer` act on it.
std::thread Operator(DWORD thread, Seen& seen, std::function<void(HWND)> answer) {
  return std::thread([thread, &seen, answer] {
    HWND dialog = nullptr;
    const DWORD start = GetTickCount();
    while (dialog == nullptr && GetTickCount() - start < 5000) {
      EnumThreadWindows(thread, FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
      if (dialog == nullptr)
        Sleep(20);
    }
    if (dialog == nullptr)
      return;
    seen.found = true;
    wchar_t buf[256] = {};
    GetWindowTextW(dialog, buf, 256);
    seen.title = buf;
    GetDlgItemTextW(dialog, kInputBoxTextId, buf, 256);
    seen.text = buf;
    GetDlgItemTextW(dialog, kInputBoxEditId, buf, 256);
    seen.edit = buf;
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    seen.face = font.lfFaceName;
    SendDlgItemMessageW(dialog, kInputBoxEditId, EM_GETSEL,
                        reinterpret_cast<WPARAM>(&seen.selStart),
                        reinterpret_cast<LPARAM>(&seen.selEnd));
    answer(dialog);
  });
}

TEST(InputBox, OkReturnsTheEditedTextAndShowsTitlePromptAndSelectedDefault) {
  InputBox prompt;
  Seen seen;
  auto op = Operator(GetCurrentThreadId(), seen, [](HWND dialog) {
    SetDlgItemTextW(dialog, kInputBoxEditId, L"350 \u00B5s");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
  });
  const std::string answer = prompt.Ask("Delay Focus-to-Key", "Delay in ms", "200");
  op.join();
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(answer, "350 \xC2\xB5s");
  EXPECT_EQ(seen.title, L"Delay Focus-to-Key");
  EXPECT_EQ(seen.text, L"Delay in ms");
  EXPECT_EQ(seen.edit, L"200");
  EXPECT_EQ(seen.selStart, 0u);
  EXPECT_EQ(seen.selEnd, 3u);
  EXPECT_EQ(seen.face, L"MS Shell Dlg 2");
}

TEST(InputBox, CancelEscAndTheCloseBoxAllReturnEmpty) {
  InputBox prompt;
  const std::function<void(HWND)> ways[] = {
      [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); },
      [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); },
      [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); },
  };
  for (const auto& way : ways) {
    Seen seen;
    auto op = Operator(GetCurrentThreadId(), seen, [&way](HWND d) {
      SetDlgItemTextW(d, kInputBoxEditId, L"999");
      way(d);
    });
    EXPECT_EQ(prompt.Ask("Fuji Capture Key", "1 Space, 2 Enter", "1"), "");
    op.join();
    EXPECT_TRUE(seen.found);
  }
}

TEST(InputBox, IsCentredOnItsOwner) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                               600, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  InputBox prompt(owner);
  RECT box{};
  Seen seen;
  auto op = Operator(GetCurrentThreadId(), seen, [&box](HWND d) {
    GetWindowRect(d, &box);
    PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
  });
  prompt.Ask("t", "p", "");
  op.join();
  RECT o{};
  GetWindowRect(owner, &o);
  DestroyWindow(owner);
  ASSERT_TRUE(seen.found);
  EXPECT_NEAR((box.left + box.right) / 2, (o.left + o.right) / 2, 2);
  EXPECT_NEAR((box.top + box.bottom) / 2, (o.top + o.bottom) / 2, 2);
}

}  // namespace
}  // namespace focura::win32
