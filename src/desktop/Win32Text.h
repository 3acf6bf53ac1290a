#pragma once
// UTF-8 in the desktop helpers, UTF-16 at the Win32 boundary.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace focura::desktop {

std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& utf16);
// GetLastError as text, with its number.
std::string LastErrorText();
// A Linux path of the build tree as Wine sees it (Z: is the Unix root); Windows paths pass as
// they are.
std::string WinePath(const std::string& path);

}  // namespace focura::desktop
