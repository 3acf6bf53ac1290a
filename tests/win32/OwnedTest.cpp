// The owners of handles and COM pointers, and the one window base with its boundary.

#include "win32/Owned.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

#include "win32/FakeDispatch.h"
#include "win32/WindowBase.h"

namespace focura::win32 {
namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != FALSE;
}

TEST(Owned, AHandleIsClosedOnceByWhoeverHoldsItLast) {
  HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(raw, nullptr);
  {
    UniqueHandle first(raw);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), raw);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  // Given up, it stays open for its new owner.
  UniqueHandle given(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE kept = given.release();
  EXPECT_TRUE(IsOpen(kept));
  UniqueHandle{kept}.reset();
  EXPECT_FALSE(IsOpen(kept));

  // CreateFile's failure value holds nothing.
  const UniqueFile none(
      CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(none);
}

TEST(Owned, AdoptedComObjectsKeepNoReferenceOfTheirOwn) {
  testing::FakeDispatch object;  // starts with one reference, as a new object of ours does
  {
    const auto owner = AdoptCom(static_cast<IDispatch*>(&object));
    EXPECT_EQ(object.refs, 1u);
    Microsoft::WRL::ComPtr<IDispatch> copy = owner;
    EXPECT_EQ(object.refs, 2u);
  }
  EXPECT_EQ(object.refs, 0u);
}

TEST(Owned, AVariantReleasesWhatItHolds) {
  testing::FakeDispatch object;
  {
    UniqueVariant v;
    EXPECT_EQ(v->vt, VT_EMPTY);
    v->vt = VT_DISPATCH;
    v->pdispVal = &object;  // takes over the one reference the object starts with
  }
  EXPECT_EQ(object.refs, 0u);
}

TEST(Owned, ComIsUninitialisedOnlyByAnInitialisationThatCounted) {
  std::thread([] {
    {
      const UniqueComInit first(COINIT_MULTITHREADED);
      EXPECT_EQ(first.Result(), S_OK);
      {
        const UniqueComInit again(COINIT_MULTITHREADED);
        EXPECT_EQ(again.Result(), S_FALSE);
        const UniqueComInit otherModel(COINIT_APARTMENTTHREADED);
        EXPECT_EQ(otherModel.Result(), RPC_E_CHANGED_MODE);
      }
      // Of the two that went, only the one that counted took its count back: the first holds.
      const UniqueComInit still(COINIT_MULTITHREADED);
      EXPECT_EQ(still.Result(), S_FALSE);
    }
    const UniqueComInit fresh(COINIT_MULTITHREADED);
    EXPECT_EQ(fresh.Result(), S_OK);
  }).join();
}

// A window that records what reaches it and may be told to throw.
class Probe : public WindowBase<Probe> {
 public:
  static const wchar_t* Class() {
    static const wchar_t* name = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = &Probe::Proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"FocuraWindowBaseProbe";
      RegisterClassW(&wc);
      return wc.lpszClassName;
    }();
    return name;
  }
  explicit Probe(bool failCreate = false) : failCreate_(failCreate) {
    Create(0, Class(), L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, GetModuleHandleW(nullptr));
  }
  using WindowBase::DestroyWhileBound;

  std::vector<UINT> seen;
  bool throwOnCommand = false;

 private:
  friend class WindowBase<Probe>;
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    seen.push_back(msg);
    if (msg == WM_CREATE && failCreate_)
      return -1;
    if (msg == WM_COMMAND && throwOnCommand)
      throw std::runtime_error("handler failed");
    return DefWindowProcW(Hwnd(), msg, wParam, lParam);
  }
  bool failCreate_;
};

bool Saw(const Probe& p, UINT msg) {
  return std::find(p.seen.begin(), p.seen.end(), msg) != p.seen.end();
}

TEST(WindowBase, BindsFromTheFirstMessageUntilTheWindowOrTheObjectGoes) {
  HWND window = nullptr;
  {
    Probe p;
    window = p.Hwnd();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(p.seen.empty());
    EXPECT_EQ(p.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(Saw(p, WM_CREATE));
    // What a handler throws ends at the boundary: the caller gets 0, the window lives on.
    p.throwOnCommand = true;
    EXPECT_EQ(SendMessageW(window, WM_COMMAND, 1, 0), 0);
    EXPECT_TRUE(IsWindow(window));
  }
  // The object went first: it took its window along.
  EXPECT_FALSE(IsWindow(window));

  // The window went first, destroyed while bound: the object saw WM_DESTROY and holds nothing.
  Probe q;
  q.DestroyWhileBound();
  EXPECT_TRUE(Saw(q, WM_DESTROY));
  EXPECT_EQ(q.Hwnd(), nullptr);

  // A window whose creation fails leaves the object holding nothing.
  Probe failed(true);
  EXPECT_EQ(failed.Hwnd(), nullptr);
}

}  // namespace
}  // namespace focura::win32
