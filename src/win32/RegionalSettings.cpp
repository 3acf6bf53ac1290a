#include "win32/RegionalSettings.h"

#include <windows.h>

#include "win32/Utf.h"

namespace focura::win32 {

std::string DecimalSeparatorOf(const wchar_t* localeName) {
  wchar_t buffer[8] = {};
  const int n = GetLocaleInfoEx(localeName, LOCALE_SDECIMAL, buffer, 8);
  if (n <= 1)
    return {};
  return Narrow(std::wstring_view(buffer, static_cast<size_t>(n - 1)));
}

std::string RegionalDecimalSeparator() {
  std::string sep = DecimalSeparatorOf(LOCALE_NAME_USER_DEFAULT);
  return sep.empty() ? "." : sep;
}

}  // namespace focura::win32
