#include "desktop/WindowFinder.h"

#include "desktop/Wait.h"

#include <stdexcept>

namespace focura::desktop {
namespace {

struct EnumState {
  unsigned long pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM lp) noexcept {
  auto* s = reinterpret_cast<EnumState*>(lp);
  if (!IsWindowVisible(hwnd))
    return TRUE;
  if (s->pid != 0 && ProcessOf(hwnd) != s->pid)
    return TRUE;
  s->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM lp) noexcept {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
  return TRUE;
}

// The caption as the window manager knows it; top-level captions are kept by the system, so this
// does not depend on the owner taking messages.
std::string Caption(HWND hwnd) {
  wchar_t buf[512];
  int n = GetWindowTextW(hwnd, buf, 512);
  return Narrow(std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0));
}

}  // namespace

std::vector<HWND> TopLevelWindows(unsigned long pid) {
  EnumState s{pid, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

HWND FindTopLevel(const std::string& caption, unsigned long pid, const std::string& className) {
  for (HWND h : TopLevelWindows(pid)) {
    if (Caption(h) == caption && (className.empty() || ClassOf(h) == className))
      return h;
  }
  return nullptr;
}

HWND FindTopLevelByClass(const std::string& className, unsigned long pid) {
  for (HWND h : TopLevelWindows(pid)) {
    if (ClassOf(h) == className)
      return h;
  }
  return nullptr;
}

HWND WaitForTopLevel(const std::string& caption, unsigned long pid, unsigned ms,
                     const std::string& className) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(caption, pid, className)) != nullptr; }, ms);
  return found;
}

unsigned long ProcessOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

std::string ClassOf(HWND hwnd) {
  wchar_t buf[256];
  int n = GetClassNameW(hwnd, buf, 256);
  return Narrow(std::wstring(buf, n > 0 ? static_cast<size_t>(n) : 0));
}

std::string TextOf(HWND hwnd, unsigned ms) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, ms, &length))
    throw std::runtime_error("no answer to WM_GETTEXTLENGTH: " + LastErrorText());
  std::wstring buf(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                           SMTO_NORMAL, ms, &copied)) {
    throw std::runtime_error("no answer to WM_GETTEXT: " + LastErrorText());
  }
  buf.resize(copied);
  return Narrow(buf);
}

std::vector<HWND> ChildrenOfClass(HWND parent, const std::string& className) {
  std::vector<HWND> all;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&all));
  std::vector<HWND> out;
  for (HWND h : all) {
    if (ClassOf(h) == className)
      out.push_back(h);
  }
  return out;
}

bool Responsive(HWND hwnd, unsigned ms) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, ms, &ignored) != 0;
}

}  // namespace focura::desktop
