#include "win32/Win32Files.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "capture/PlatformError.h"
#include "win32/ErrorText.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace focura::win32 {
namespace {

[[noreturn]] void Fail(const std::string& path, DWORD error) {
  throw PlatformError("Cannot read \"" + path + "\": " + SystemErrorText(error));
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::string out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) && path != nullptr)
    out = Narrow(path);
  CoTaskMemFree(path);
  return out;
}

}  // namespace

std::string Win32Files::ProgramFilesX86() {
  return KnownFolder(FOLDERID_ProgramFilesX86);
}

std::string Win32Files::ProgramFiles() {
  return KnownFolder(FOLDERID_ProgramFiles);
}

bool Win32Files::ProgramExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string Win32Files::ExeDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) {
      throw PlatformError("The program's own path is unknown: " + SystemErrorText(GetLastError()));
    }
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  if (slash != std::wstring::npos)
    path.resize(slash);
  return Narrow(path);
}

bool Win32Files::VisibleFileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return false;
  return (attributes &
          (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::string Win32Files::ReadAll(const std::string& path) {
  const UniqueFile file(CreateFileW(Widen(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE)
    Fail(path, GetLastError());
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size))
    Fail(path, GetLastError());
  if (size.QuadPart > 64 * 1024 * 1024) {
    throw PlatformError("Cannot read \"" + path + "\": the file is too large");
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                  nullptr)) {
      Fail(path, GetLastError());
    }
    if (got == 0)
      break;
    done += got;
  }
  bytes.resize(done);
  return DecodeText(std::move(bytes));
}

std::string DecodeText(std::string bytes) {
  if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bytes.erase(0, 3);
    return Narrow(Widen(bytes));
  }
  if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
    std::wstring wide((bytes.size() - 2) / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
      wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                     (static_cast<unsigned char>(bytes[3 + 2 * i]) << 8));
    }
    return Narrow(wide);
  }
  if (IsValidUtf8(bytes))
    return bytes;
  return AnsiToUtf8(bytes);
}

}  // namespace focura::win32
