#include "win32/Utf.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace focura::win32 {
namespace {

int CheckedLength(size_t n) {
  if (n > static_cast<size_t>(INT_MAX))
    throw std::length_error("text too long for Windows");
  return static_cast<int>(n);
}

std::wstring ToWide(UINT codePage, DWORD flags, std::string_view bytes) {
  if (bytes.empty())
    return {};
  const int n = CheckedLength(bytes.size());
  const int wide = MultiByteToWideChar(codePage, flags, bytes.data(), n, nullptr, 0);
  if (wide <= 0)
    return {};
  std::wstring out(static_cast<size_t>(wide), L'\0');
  MultiByteToWideChar(codePage, flags, bytes.data(), n, out.data(), wide);
  return out;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  return ToWide(CP_UTF8, 0, utf8);
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty())
    return {};
  const int n = CheckedLength(utf16.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0)
    return {};
  std::string out(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), n, out.data(), bytes, nullptr, nullptr);
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  if (bytes.empty())
    return true;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                             CheckedLength(bytes.size()), nullptr, 0) > 0;
}

std::string AnsiToUtf8(std::string_view bytes) {
  return Narrow(ToWide(CP_ACP, 0, bytes));
}

}  // namespace focura::win32
