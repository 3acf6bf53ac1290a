#pragma once
// The user's regional settings that the tool's number texts follow.

#include <string>

namespace focura::win32 {

// The decimal separator of the user's regional settings, as UTF-8 ("." if none is set).
std::string RegionalDecimalSeparator();
// The decimal separator of a named locale such as L"de-DE"; "" when the locale is unknown.
std::string DecimalSeparatorOf(const wchar_t* localeName);

}  // namespace focura::win32
