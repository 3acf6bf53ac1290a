#include "desktop/Win32Text.h"

namespace focura::desktop {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty())
    return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& utf16) {
  if (utf16.empty())
    return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::string LastErrorText() {
  DWORD code = GetLastError();
  wchar_t* msg = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPWSTR>(&msg), 0, nullptr);
  std::string text = msg ? Narrow(msg) : std::string();
  if (msg)
    LocalFree(msg);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
    text.pop_back();
  return text + " (" + std::to_string(code) + ")";
}

std::string WinePath(const std::string& path) {
  if (path.empty() || path.front() != '/')
    return path;
  std::string out = "Z:" + path;
  for (char& c : out) {
    if (c == '/')
      c = '\\';
  }
  return out;
}

}  // namespace focura::desktop
