#pragma once
// Owners of Win32 handles: each closes its handle once, when it goes out of scope. COM pointers
// are owned by Microsoft::WRL::ComPtr (<wrl/client.h>).

#include <windows.h>
// After windows.h, which they need.
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <utility>

namespace focura::win32 {

// One handle of the kind `Traits` describes: `Traits::Empty()` is the value that holds nothing,
// `Traits::Close(h)` gives a held one back.
template <class Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;

  Owned() noexcept = default;
  explicit Owned(Handle h) noexcept : h_(h) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : h_(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other)
      reset(other.release());
    return *this;
  }

  Handle get() const noexcept { return h_; }
  explicit operator bool() const noexcept { return h_ != Traits::Empty(); }
  // Gives the handle up without closing it.
  Handle release() noexcept { return std::exchange(h_, Traits::Empty()); }
  void reset(Handle h = Traits::Empty()) noexcept {
    const Handle old = std::exchange(h_, h);
    if (old != Traits::Empty())
      Traits::Close(old);
  }

 private:
  Handle h_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};
// CreateFile and CreateToolhelp32Snapshot fail with INVALID_HANDLE_VALUE rather than null.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { CloseHandle(h); }
};
struct WindowTraits {
  using Handle = HWND;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DestroyWindow(h); }
};
template <class T>
struct GdiTraits {
  using Handle = T;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DeleteObject(h); }
};
struct MenuTraits {
  using Handle = HMENU;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { DestroyMenu(h); }
};
struct KeyTraits {
  using Handle = HKEY;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { RegCloseKey(h); }
};
struct GlobalTraits {
  using Handle = HGLOBAL;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { GlobalFree(h); }
};
struct HookTraits {
  using Handle = HHOOK;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { UnhookWindowsHookEx(h); }
};
struct EventHookTraits {
  using Handle = HWINEVENTHOOK;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { UnhookWinEvent(h); }
};
// Memory the system allocated for the caller to give back with LocalFree (FormatMessage's
// buffer, CommandLineToArgvW's array), held as the pointer type it is read through.
template <class T>
struct LocalTraits {
  using Handle = T;
  static Handle Empty() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { LocalFree(h); }
};

using UniqueHandle = Owned<KernelHandleTraits>;
using UniqueFile = Owned<FileHandleTraits>;
using UniqueWindow = Owned<WindowTraits>;
template <class T>
using UniqueGdi = Owned<GdiTraits<T>>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniqueMenu = Owned<MenuTraits>;
using UniqueKey = Owned<KeyTraits>;
using UniqueGlobal = Owned<GlobalTraits>;
using UniqueHook = Owned<HookTraits>;
using UniqueEventHook = Owned<EventHookTraits>;
template <class T>
using UniqueLocal = Owned<LocalTraits<T>>;

// A window's device context (the screen's for a null window) from GetDC, given back to that
// window with ReleaseDC; given a font, the font is selected into it for as long as it lives.
class UniqueWindowDc {
 public:
  explicit UniqueWindowDc(HWND window, HFONT font = nullptr) noexcept
      : window_(window), dc_(GetDC(window)) {
    if (dc_ != nullptr && font != nullptr)
      old_ = SelectObject(dc_, font);
  }
  ~UniqueWindowDc() {
    if (dc_ == nullptr)
      return;
    if (old_ != nullptr)
      SelectObject(dc_, old_);
    ReleaseDC(window_, dc_);
  }
  UniqueWindowDc(const UniqueWindowDc&) = delete;
  UniqueWindowDc& operator=(const UniqueWindowDc&) = delete;

  HDC get() const noexcept { return dc_; }
  explicit operator bool() const noexcept { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

// A VARIANT of ours: empty at first, cleared (its string freed, its object released) when it goes
// out of scope.
class UniqueVariant {
 public:
  UniqueVariant() noexcept { VariantInit(&v_); }
  ~UniqueVariant() { VariantClear(&v_); }
  UniqueVariant(const UniqueVariant&) = delete;
  UniqueVariant& operator=(const UniqueVariant&) = delete;

  VARIANT* get() noexcept { return &v_; }
  VARIANT* operator->() noexcept { return &v_; }

 private:
  VARIANT v_;
};

// This thread's COM, initialised for as long as the owner lives; only an initialisation that
// succeeded (S_OK, or S_FALSE when the thread already had one) is undone with CoUninitialize.
class UniqueComInit {
 public:
  explicit UniqueComInit(DWORD model) noexcept : hr_(CoInitializeEx(nullptr, model)) {}
  ~UniqueComInit() {
    if (SUCCEEDED(hr_))
      CoUninitialize();
  }
  UniqueComInit(const UniqueComInit&) = delete;
  UniqueComInit& operator=(const UniqueComInit&) = delete;

  HRESULT Result() const noexcept { return hr_; }

 private:
  HRESULT hr_;
};

// Takes over the one reference a new COM object of ours starts with. MinGW-w64's ComPtr::Attach
// adds a reference of its own, which would keep the object (and a server process) alive forever.
template <class T>
Microsoft::WRL::ComPtr<T> AdoptCom(T* fresh) noexcept {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.ReleaseAndGetAddressOf() = fresh;
  return owner;
}

// The handles CreateProcess returns, closed together.
struct ProcessHandles {
  UniqueHandle process;
  UniqueHandle thread;
  DWORD id = 0;

  ProcessHandles() = default;
  explicit ProcessHandles(const PROCESS_INFORMATION& pi) noexcept
      : process(pi.hProcess), thread(pi.hThread), id(pi.dwProcessId) {}
};

}  // namespace focura::win32
