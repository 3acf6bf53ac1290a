#pragma once
// The few registry reads and writes the tool and its check make, each key closed however the
// call ends.

#include <windows.h>

#include <string>

namespace focura::win32 {

// A string value (REG_SZ, or REG_EXPAND_SZ with its variables expanded); "" when the key or the
// value is missing or of another type. `name` nullptr: the key's default value. `view` selects
// the 32-bit or 64-bit registry view (KEY_WOW64_*), 0 for the process's own.
std::wstring ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name = nullptr,
                           REGSAM view = 0);

bool RegKeyExists(HKEY root, const std::wstring& path);

// Creates the key where needed and sets a REG_SZ value; returns the system's status.
LSTATUS WriteRegString(HKEY root, const std::wstring& path, const wchar_t* name,
                       const std::wstring& value);

}  // namespace focura::win32
