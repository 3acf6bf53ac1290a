#pragma once
// The simulator window's controls and their refresh, on the window's own thread.

#include <windows.h>

#include <functional>
#include <memory>

#include "win32/WindowBase.h"

namespace zsim::win32 {

class SimHost;

inline constexpr UINT kRefreshMessage = WM_APP + 1;
inline constexpr UINT kDestroyMessage = WM_APP + 2;

inline constexpr const wchar_t* kSimWindowCaption = L"Z server simulator";

// The window and what it shows, bound to each other from WM_NCCREATE on; made, used and
// destroyed on the window's own thread. `onUserClose` as for SimWindow.
class SimWindowObject : public focura::win32::WindowBase<SimWindowObject> {
 public:
  SimWindowObject(SimHost& host, std::function<void()>* onUserClose);
  ~SimWindowObject();

  // Creates the window on the calling thread; null when it could not be.
  HWND Create();

  struct State;

 private:
  friend class focura::win32::WindowBase<SimWindowObject>;
  LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);

  std::unique_ptr<State> st_;
};

// A length drawn at 96 dpi, in pixels at the system's DPI (the program is DPI aware).
int SimPx(int px96);

// Registers the window class once; returns its name.
const wchar_t* RegisterSimWindowClass();
// Removes the class once no window of it is left (for code that is about to be unloaded).
void UnregisterSimWindowClass();

}  // namespace zsim::win32
