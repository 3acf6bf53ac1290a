#pragma once
// The one way a window is bound to its object: `this` travels through CREATESTRUCT and is bound
// at WM_NCCREATE, before the first message the object handles, and unbound at WM_NCDESTROY or
// when the object goes, whichever comes first. The base owns the window, so an object whose
// constructor throws after creating it leaves no window behind that points at it.
//
// T provides `LRESULT Handle(UINT, WPARAM, LPARAM)`; what it throws ends at the boundary.

#include <windows.h>

#include "win32/Boundary.h"
#include "win32/Owned.h"

namespace focura::win32 {

template <class T>
class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  HWND Hwnd() const noexcept { return window_.get(); }

  // The procedure to register the window class with.
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_NCCREATE) {
      auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      auto* self = static_cast<T*>(create->lpCreateParams);
      if (self != nullptr) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        static_cast<WindowBase*>(self)->window_.reset(hwnd);
      }
    }
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr)
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
      static_cast<WindowBase*>(self)->Unbind();
      return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    return Guarded([&] { return self->Handle(msg, wParam, lParam); },
                   [](const std::string&) -> LRESULT { return 0; });
  }

 protected:
  WindowBase() = default;
  ~WindowBase() { Destroy(); }

  // CreateWindowExW with this object bound from the first message on; null on failure.
  HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
              int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance) {
    return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                           instance, static_cast<T*>(this));
  }

  // Destroys the window with the object still bound, so it sees WM_DESTROY; WM_NCDESTROY unbinds.
  void DestroyWhileBound() noexcept {
    if (HWND hwnd = window_.get())
      DestroyWindow(hwnd);
  }

  // Unbinds, then destroys the window: its last messages no longer reach the object.
  void Destroy() noexcept {
    HWND hwnd = window_.get();
    Unbind();
    UniqueWindow last(hwnd);
  }

 private:
  void Unbind() noexcept {
    if (HWND hwnd = window_.release())
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  }

  UniqueWindow window_;
};

// The same binding for a modal dialog: the object is the dialog's init parameter and is bound at
// WM_INITDIALOG, the first message a dialog procedure is meant to handle. The dialog manager owns
// the window (EndDialog ends it), so the object only lends itself for the call of Run.
//
// T provides `INT_PTR HandleDialog(HWND, UINT, WPARAM, LPARAM)`; what it throws ends at the
// boundary.
template <class T>
class DialogBase {
 public:
  DialogBase(const DialogBase&) = delete;
  DialogBase& operator=(const DialogBase&) = delete;

 protected:
  DialogBase() = default;
  ~DialogBase() = default;

  // DialogBoxIndirectParamW with this object bound: IDOK, IDCANCEL, or -1 when it failed.
  INT_PTR Run(HINSTANCE instance, const DLGTEMPLATE* dialog, HWND owner) {
    return DialogBoxIndirectParamW(instance, dialog, owner, &DialogBase::Proc,
                                   reinterpret_cast<LPARAM>(static_cast<T*>(this)));
  }

 private:
  static INT_PTR CALLBACK Proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_INITDIALOG)
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (self == nullptr)
      return FALSE;
    if (msg == WM_NCDESTROY)
      SetWindowLongPtrW(dialog, DWLP_USER, 0);
    return Guarded([&] { return self->HandleDialog(dialog, msg, wParam, lParam); },
                   [](const std::string&) -> INT_PTR { return FALSE; });
  }
};

}  // namespace focura::win32
