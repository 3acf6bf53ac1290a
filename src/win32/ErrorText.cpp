#include "win32/ErrorText.h"

#include <windows.h>

#include <cstdio>

#include "win32/Owned.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

std::string MessageOf(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  const UniqueLocal<wchar_t*> owner(buffer);
  std::wstring text;
  if (n > 0 && buffer != nullptr)
    text.assign(buffer, n);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
    text.pop_back();
  }
  return Narrow(text);
}

}  // namespace

std::string SystemErrorText(unsigned long code) {
  std::string text = MessageOf(code);
  if (text.empty())
    text = "error " + std::to_string(code);
  return text;
}

std::string HresultText(long hr) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(hr));
  std::string text = MessageOf(static_cast<DWORD>(hr));
  if (text.empty())
    return std::string("HRESULT ") + hex;
  return text + " (" + hex + ")";
}

}  // namespace focura::win32
