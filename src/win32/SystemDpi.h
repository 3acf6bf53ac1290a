#pragma once
// The DPI of the screen as the system reports it to a DPI-aware program.

namespace focura::win32 {

// 96 when it cannot be read.
int SystemDpi();

}  // namespace focura::win32
