#include "Registration.h"

#include <windows.h>

#include "SimClass.h"
#include "sim/core/SimError.h"
#include "win32/ErrorText.h"
#include "win32/Owned.h"
#include "win32/Utf.h"

namespace zsim::win32 {
namespace {

class Key {
 public:
  Key(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    const LSTATUS s = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                      nullptr, &key, nullptr);
    if (s != ERROR_SUCCESS)
      throw SimError("Cannot create the registry key " + focura::win32::Narrow(path) + ": " +
                     focura::win32::SystemErrorText(static_cast<unsigned long>(s)));
    key_.reset(key);
  }

  void Set(const wchar_t* name, const std::wstring& value) {
    const LSTATUS s =
        RegSetValueExW(key_.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (s != ERROR_SUCCESS)
      throw SimError("Cannot write a registry value: " +
                     focura::win32::SystemErrorText(static_cast<unsigned long>(s)));
  }
  void Remove(const wchar_t* name) { RegDeleteValueW(key_.get(), name); }

 private:
  focura::win32::UniqueKey key_;
};

std::wstring ReadString(HKEY root, const std::wstring& path, const wchar_t* name) {
  wchar_t buffer[2048];
  DWORD size = sizeof buffer;
  if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) !=
      ERROR_SUCCESS)
    return {};
  return buffer;
}

// A class tree below `root\prefix`: prefix is "Software\Classes\" under HKCU, "" under HKCR.
// The class itself lies below `prefix + classPrefix`.
struct ClassTree {
  HKEY root;
  std::wstring prefix;
  std::wstring classPrefix;

  std::wstring ProgIdKey() const { return prefix + kSimProgId; }
  std::wstring ClassKey() const { return prefix + classPrefix + L"CLSID\\" + kSimClsidText; }
  std::wstring NamedClass() const { return ReadString(root, ProgIdKey() + L"\\CLSID", nullptr); }
  bool NamesUs() const { return _wcsicmp(NamedClass().c_str(), kSimClsidText) == 0; }
  // The class the ProgID leads to when that is not ours, else empty.
  std::wstring NamesOther() const {
    const std::wstring named = NamedClass();
    return named.empty() || NamesUs() ? std::wstring() : named;
  }

  static const wchar_t* EntryOf(ServerKind kind) {
    return kind == ServerKind::Local ? L"LocalServer32" : L"InprocServer32";
  }
  std::wstring Entry(ServerKind kind) const {
    return ReadString(root, ClassKey() + L"\\" + EntryOf(kind), nullptr);
  }

  void Write(ServerKind kind, const std::wstring& server, const std::wstring& logPath) const {
    Key(root, ProgIdKey()).Set(nullptr, kSimDescription);
    Key(root, ProgIdKey() + L"\\CLSID").Set(nullptr, kSimClsidText);
    {
      Key cls(root, ClassKey());
      cls.Set(nullptr, kSimDescription);
      if (logPath.empty())
        cls.Remove(L"ZSimLog");
      else
        cls.Set(L"ZSimLog", logPath);
    }
    {
      Key entry(root, ClassKey() + L"\\" + EntryOf(kind));
      entry.Set(nullptr, server);
      if (kind == ServerKind::InProcess)
        entry.Set(L"ThreadingModel", L"Both");
    }
    // COM prefers an in-process server over a local one: a class with both would not lead to the
    // copy just registered.
    const ServerKind other = kind == ServerKind::Local ? ServerKind::InProcess : ServerKind::Local;
    RegDeleteTreeW(root, (ClassKey() + L"\\" + EntryOf(other)).c_str());
    Key(root, ClassKey() + L"\\ProgID").Set(nullptr, kSimProgId);
  }

  void Remove() const {
    if (NamesUs())
      RegDeleteTreeW(root, ProgIdKey().c_str());
    RemoveClass();
  }
  bool HasClass() const {
    return !Entry(ServerKind::Local).empty() || !Entry(ServerKind::InProcess).empty();
  }
  void RemoveClass() const {
    const LSTATUS s = RegDeleteTreeW(root, ClassKey().c_str());
    if (s != ERROR_SUCCESS && s != ERROR_FILE_NOT_FOUND)
      throw SimError("Cannot remove the simulator's class: " +
                     focura::win32::SystemErrorText(static_cast<unsigned long>(s)));
  }
};

bool IsWow64() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

// The classes of this process's width. Windows redirects a 32-bit process's CLSID keys to their
// Wow6432Node by itself; Wine (8.0) does not, and a 32-bit registration would land in the 64-bit
// view, where a 64-bit client would try to load a DLL it cannot. Naming the node is the same key
// on Windows.
const wchar_t* const kClassNode = IsWow64() ? L"Wow6432Node\\" : L"";
const ClassTree kUser{HKEY_CURRENT_USER, L"Software\\Classes\\", kClassNode};
// What COM actually reads. Windows merges the user's classes into it; Wine (8.0) does not, so
// there a registration the merged view does not show is written here as well.
const ClassTree kMerged{HKEY_CLASSES_ROOT, L"", kClassNode};

}  // namespace

void RegisterServer(ServerKind kind, const std::wstring& path, const std::wstring& logPath,
                    bool force) {
  std::wstring other = kUser.NamesOther();
  if (other.empty())
    other = kMerged.NamesOther();
  if (!other.empty() && !force) {
    std::wstring server =
        ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + other + L"\\LocalServer32", nullptr);
    if (server.empty())
      server = ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + other + L"\\InprocServer32", nullptr);
    throw RegistrationRefused(
        "Not registered: " + focura::win32::Narrow(kSimProgId) + " already names another server, " +
        focura::win32::Narrow(other) +
        (server.empty() ? std::string() : " (" + focura::win32::Narrow(server) + ")") +
        ". Registering the simulator would take its place; add /Force to do so anyway.");
  }
  // A command line is quoted: the path may hold blanks, and an unquoted one could start another
  // program. A DLL's entry is a file name, never quoted.
  const std::wstring server = kind == ServerKind::Local ? L"\"" + path + L"\"" : path;
  kUser.Write(kind, server, logPath);
  const ServerKind otherKind =
      kind == ServerKind::Local ? ServerKind::InProcess : ServerKind::Local;
  if (!kMerged.NamesUs() || kMerged.Entry(kind) != server || !kMerged.Entry(otherKind).empty() ||
      ReadString(HKEY_CLASSES_ROOT, kMerged.ClassKey(), L"ZSimLog") != logPath)
    kMerged.Write(kind, server, logPath);
}

void UnregisterServer() {
  kUser.Remove();
  kMerged.Remove();
}

bool UnregisterServerIn(const std::wstring& folder) {
  // A 32-bit regsvr32 leaves zsim32.dll's class in the 32-bit view; an installer removing the
  // folder has to look at both views, whatever its own width.
  const ClassTree trees[] = {{HKEY_CURRENT_USER, L"Software\\Classes\\", L""},
                             {HKEY_CURRENT_USER, L"Software\\Classes\\", L"Wow6432Node\\"},
                             {HKEY_CLASSES_ROOT, L"", L""},
                             {HKEY_CLASSES_ROOT, L"", L"Wow6432Node\\"}};
  bool removed = false;
  for (const ClassTree& tree : trees) {
    for (const ServerKind kind : {ServerKind::Local, ServerKind::InProcess}) {
      if (IsInFolder(tree.Entry(kind), folder)) {
        tree.RemoveClass();
        removed = true;
        break;
      }
    }
  }
  // The ProgID goes only once no view of that root still holds a class of ours elsewhere.
  for (int root = 0; removed && root < 4; root += 2)
    if (!trees[root].HasClass() && !trees[root + 1].HasClass() && trees[root].NamesUs())
      RegDeleteTreeW(trees[root].root, trees[root].ProgIdKey().c_str());
  return removed;
}

bool IsInFolder(std::wstring server, const std::wstring& folder) {
  if (server.size() >= 2 && server.front() == L'"' && server.back() == L'"')
    server = server.substr(1, server.size() - 2);
  std::wstring prefix = folder;
  if (prefix.empty())
    return false;
  if (prefix.back() != L'\\')
    prefix += L'\\';
  if (server.size() <= prefix.size() ||
      _wcsnicmp(server.c_str(), prefix.c_str(), prefix.size()) != 0)
    return false;
  // Only a file directly in the folder: a server in a subfolder is not one this folder shipped.
  return server.find(L'\\', prefix.size()) == std::wstring::npos;
}

std::wstring RegisteredLogPath() {
  return ReadString(HKEY_CLASSES_ROOT, kMerged.ClassKey(), L"ZSimLog");
}

bool IsSwitch(const std::wstring& arg, const wchar_t* name) {
  if (arg.size() < 2 || (arg[0] != L'/' && arg[0] != L'-'))
    return false;
  return _wcsicmp(arg.c_str() + 1, name) == 0;
}

}  // namespace zsim::win32
