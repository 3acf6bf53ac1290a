#include "win32/Registry.h"

#include "win32/Owned.h"

namespace focura::win32 {

std::wstring ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
    return {};
  const UniqueKey key(opened);
  wchar_t buffer[2048];
  DWORD size = sizeof buffer - sizeof(wchar_t);
  DWORD type = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  // A stored string need not end in a terminator.
  buffer[size / sizeof(wchar_t)] = L'\0';
  std::wstring value = buffer;
  if (type == REG_EXPAND_SZ) {
    wchar_t expanded[2048];
    const DWORD n = ExpandEnvironmentStringsW(value.c_str(), expanded, 2048);
    if (n > 0 && n <= 2048)
      value = expanded;
  }
  return value;
}

bool RegKeyExists(HKEY root, const std::wstring& path) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return false;
  const UniqueKey key(opened);
  return true;
}

LSTATUS WriteRegString(HKEY root, const std::wstring& path, const wchar_t* name,
                       const std::wstring& value) {
  HKEY created = nullptr;
  const LSTATUS s =
      RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr);
  if (s != ERROR_SUCCESS)
    return s;
  const UniqueKey key(created);
  return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace focura::win32
