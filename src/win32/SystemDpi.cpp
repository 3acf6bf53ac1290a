#include "win32/SystemDpi.h"

#include <windows.h>

namespace focura::win32 {

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr)
    ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace focura::win32
