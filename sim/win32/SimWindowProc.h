#pragma once
// The simulator window's controls and their refresh, on the window's own thread.

#include <windows.h>

#include <functional>

namespace zsim::win32 {

class SimHost;

inline constexpr UINT kRefreshMessage = WM_APP + 1;
inline constexpr UINT kDestroyMessage = WM_APP + 2;

struct SimWindowContext {
  SimHost* host;
  std::function<void()>* onUserClose;
};

// A length drawn at 96 dpi, in pixels at the system's DPI (the program is DPI aware).
int SimPx(int px96);

// Registers the window class once; returns its name.
const wchar_t* RegisterSimWindowClass();

}  // namespace zsim::win32
