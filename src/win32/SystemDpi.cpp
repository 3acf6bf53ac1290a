#include "win32/SystemDpi.h"

#include <windows.h>

#include "win32/Owned.h"

namespace focura::win32 {

int SystemDpi() {
  const UniqueWindowDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
  return dpi > 0 ? dpi : 96;
}

}  // namespace focura::win32
