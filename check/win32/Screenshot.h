#pragma once
// Pictures for the report: what the screen shows in a window's or a region's rectangle, saved as
// a 24-bit BMP beside the report (every browser shows one).

#include <windows.h>

#include <string>

namespace focura::check {

// Saves the screen's pixels in `rect` (screen coordinates). Throws std::runtime_error on failure.
void SaveScreenRect(const RECT& rect, const std::wstring& path);
// The window's rectangle as it is on the screen (in front, so nothing covers it).
void SaveWindowPicture(HWND window, const std::wstring& path);

}  // namespace focura::check
