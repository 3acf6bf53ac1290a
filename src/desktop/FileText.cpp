#include "desktop/FileText.h"

#include "desktop/Win32Text.h"

#include <stdexcept>
#include <vector>

#include "win32/Owned.h"

namespace focura::desktop {

std::string ReadFileText(const std::string& path) {
  const win32::UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return {};
  HANDLE h = file.get();
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
    out.append(buf, got);
  return out;
}

void WriteFileText(const std::string& path, const std::string& bytes) {
  win32::UniqueFile file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    throw std::runtime_error("cannot write " + path + ": " + LastErrorText());
  DWORD written = 0;
  BOOL ok =
      WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  file.reset();
  if (!ok || written != bytes.size())
    throw std::runtime_error("cannot write " + path + ": " + LastErrorText());
}

void CopyFileTo(const std::string& from, const std::string& to) {
  if (!CopyFileW(Wide(from).c_str(), Wide(to).c_str(), FALSE))
    throw std::runtime_error("cannot copy " + from + " to " + to + ": " + LastErrorText());
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

void RemoveTree(const std::wstring& dir) {
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE)
    return;
  do {
    std::wstring name = fd.cFileName;
    if (name == L"." || name == L"..")
      continue;
    std::wstring full = dir + L"\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      RemoveTree(full);
      RemoveDirectoryW(full.c_str());
    } else {
      SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(full.c_str());
    }
  } while (FindNextFileW(h, &fd));
  FindClose(h);
}

}  // namespace

void RecreateFolder(const std::string& path) {
  const std::wstring w = Wide(path);
  RemoveTree(w);
  // Create every missing level.
  for (size_t i = 3; i <= w.size(); ++i) {
    if (i == w.size() || w[i] == L'\\')
      CreateDirectoryW(w.substr(0, i).c_str(), nullptr);
  }
  const DWORD attributes = GetFileAttributesW(w.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    throw std::runtime_error("cannot create folder " + path);
}

std::vector<std::string_view> CompleteLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', start)) {
    std::string_view line = text.substr(start, lf - start);
    start = lf + 1;
    if (!line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

}  // namespace focura::desktop
