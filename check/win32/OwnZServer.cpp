#include "OwnZServer.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "win32/Owned.h"
#include "win32/Registry.h"
#include "win32/Utf.h"

namespace focura::check {
namespace {

using win32::Narrow;
using win32::Widen;

// zsim.exe serves this class and no other.
constexpr const wchar_t* kSimClsidText = L"{1BF51BFE-5151-4C5F-BB21-3AF8F0298408}";
constexpr const wchar_t* kUserClasses = L"Software\\Classes\\";

void WriteString(HKEY root, const std::wstring& path, const wchar_t* name,
                 const std::wstring& value) {
  const LSTATUS s = win32::WriteRegString(root, path, name, value);
  if (s != ERROR_SUCCESS)
    throw std::runtime_error("cannot write the registry key " + Narrow(path) + " (error " +
                             std::to_string(s) + ")");
}

const std::wstring kOwnProgId = Widen(kCheckProgId);
std::wstring ClassKey() {
  return std::wstring(L"CLSID\\") + kSimClsidText;
}

// The check's mark on every key it writes: a run finds what an earlier one left by it.
constexpr const wchar_t* kMarkName = L"FocuraCheck";
constexpr const wchar_t* kMarkValue = L"registered by the PC check, removed when it ends";
// The description an earlier version of the check gave the class: a mark of its own.
constexpr const wchar_t* kOwnDescription = L"Z server simulator for the PC check";

struct Place {
  HKEY root;
  const wchar_t* prefix;
  const char* name;
};
// HKEY_CLASSES_ROOT shows the user's classes over the machine's; Wine's is the machine's alone.
const Place kUserClassesPlace{HKEY_CURRENT_USER, kUserClasses, "the user's classes"};
const Place kMachineClasses{HKEY_LOCAL_MACHINE, kUserClasses, "the machine's classes"};

bool OwnMark(const Place& at, const std::wstring& key) {
  const std::wstring path = at.prefix + key;
  return win32::ReadRegString(at.root, path, kMarkName) == kMarkValue ||
         win32::ReadRegString(at.root, path, nullptr) == kOwnDescription;
}

// The simulator's class without the check's mark, wherever COM would find it: registered by the
// operator (zsim.exe /RegServer), perhaps as the Z server itself.
bool ForeignSimClass() {
  for (const Place& at : {kUserClassesPlace, kMachineClasses}) {
    if (win32::RegKeyExists(at.root, at.prefix + ClassKey()) && !OwnMark(at, ClassKey()))
      return true;
  }
  return false;
}

// The executable or DLL of a server command: quoted, or up to its extension; arguments dropped.
std::wstring ServerFile(std::wstring command) {
  if (!command.empty() && command[0] == L'"') {
    const size_t end = command.find(L'"', 1);
    return command.substr(1, end == std::wstring::npos ? std::wstring::npos : end - 1);
  }
  std::wstring lower = command;
  CharLowerW(lower.data());
  for (const wchar_t* ext : {L".exe", L".dll"}) {
    const size_t at = lower.find(ext);
    if (at != std::wstring::npos)
      return command.substr(0, at + 4);
  }
  return command;
}

// The machine a program file is built for, from its PE header.
std::string BitsOf(const std::wstring& file) {
  const focura::win32::UniqueFile opened(
      CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!opened)
    return "unknown (file not found)";
  std::vector<unsigned char> head(4096);
  DWORD got = 0;
  ReadFile(opened.get(), head.data(), static_cast<DWORD>(head.size()), &got, nullptr);
  if (got < 0x40 || head[0] != 'M' || head[1] != 'Z')
    return "unknown (not a program file)";
  const DWORD pe = *reinterpret_cast<const DWORD*>(&head[0x3c]);
  if (pe + 6 > got || head[pe] != 'P' || head[pe + 1] != 'E')
    return "unknown (not a program file)";
  const WORD machine = *reinterpret_cast<const WORD*>(&head[pe + 4]);
  if (machine == IMAGE_FILE_MACHINE_AMD64 || machine == 0xAA64)
    return "64-bit";
  if (machine == IMAGE_FILE_MACHINE_I386)
    return "32-bit";
  return "unknown (machine " + std::to_string(machine) + ")";
}

}  // namespace

std::vector<std::string> RemoveOwnRegistration() {
  std::vector<std::string> removed;
  for (const Place& at : {kUserClassesPlace, kMachineClasses}) {
    std::string what;
    // The ProgID is the check's own, whatever it holds.
    if (win32::RegKeyExists(at.root, at.prefix + kOwnProgId) &&
        RegDeleteTreeW(at.root, (at.prefix + kOwnProgId).c_str()) == ERROR_SUCCESS)
      what = "the ProgID " + std::string(kCheckProgId);
    if (win32::RegKeyExists(at.root, at.prefix + ClassKey()) && OwnMark(at, ClassKey()) &&
        RegDeleteTreeW(at.root, (at.prefix + ClassKey()).c_str()) == ERROR_SUCCESS)
      what += (what.empty() ? "" : " and ") + std::string("the simulator's class");
    if (!what.empty())
      removed.push_back(what + " from " + at.name);
  }
  return removed;
}

OwnZServerRegistration::OwnZServerRegistration(const std::wstring& zsimExe, bool forMachine) {
  RemoveOwnRegistration();
  if (ForeignSimClass()) {
    const bool asZServer =
        _wcsicmp(
            win32::ReadRegString(HKEY_CLASSES_ROOT, L"Hoistra.HoistraCmd\\CLSID", nullptr).c_str(),
            kSimClsidText) == 0;
    throw RegistrationRefused(
        "the simulator zsim.exe is registered on this PC" +
            std::string(asZServer ? " as the Z server" : "") +
            " (zsim.exe /RegServer); the check leaves that registration alone",
        "run \"zsim.exe /UnregServer\" once the dry runs are over, so that the check can "
        "register the simulator under a ProgID of its own");
  }
  const std::wstring server = L"\"" + zsimExe + L"\"";
  auto write = [&](const Place& at) {
    const std::wstring p = at.prefix;
    for (const std::wstring& key : {p + kOwnProgId, p + ClassKey()}) {
      WriteString(at.root, key, nullptr, kOwnDescription);
      WriteString(at.root, key, kMarkName, kMarkValue);
    }
    WriteString(at.root, p + kOwnProgId + L"\\CLSID", nullptr, kSimClsidText);
    WriteString(at.root, p + ClassKey() + L"\\LocalServer32", nullptr, server);
  };
  try {
    write(kUserClassesPlace);
    if (forMachine)
      write(kMachineClasses);
  } catch (const std::exception& e) {
    RemoveOwnRegistration();
    throw RegistrationRefused(
        std::string("the simulator could not be registered for the check: ") + e.what(),
        forMachine ? "run the check as the user who runs the tool, with the rights to register "
                     "a class for this PC (an administrator with UAC off has them)"
                   : "run the check as the user who runs the tool");
  }
}

OwnZServerRegistration::~OwnZServerRegistration() {
  RemoveOwnRegistration();
}

RegisteredServer DescribeRegistration(const std::string& progId) {
  RegisteredServer r;
  const std::wstring clsid =
      win32::ReadRegString(HKEY_CLASSES_ROOT, Widen(progId) + L"\\CLSID", nullptr);
  if (clsid.empty())
    return r;
  r.registered = true;
  r.clsid = Narrow(clsid);
  const std::wstring cls = L"CLSID\\" + clsid;
  for (const REGSAM view :
       {static_cast<REGSAM>(KEY_WOW64_64KEY), static_cast<REGSAM>(KEY_WOW64_32KEY)}) {
    ClassEntries& entries = view == KEY_WOW64_64KEY ? r.bits64 : r.bits32;
    entries.inProcess =
        !win32::ReadRegString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr, view).empty();
    entries.local =
        !win32::ReadRegString(HKEY_CLASSES_ROOT, cls + L"\\LocalServer32", nullptr, view).empty();
  }
  for (const REGSAM view :
       {static_cast<REGSAM>(KEY_WOW64_64KEY), static_cast<REGSAM>(KEY_WOW64_32KEY)}) {
    std::wstring command =
        win32::ReadRegString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr, view);
    std::string kind = "in-process server (DLL)";
    if (command.empty()) {
      command = win32::ReadRegString(HKEY_CLASSES_ROOT, cls + L"\\LocalServer32", nullptr, view);
      kind = "local server (EXE)";
    }
    if (command.empty())
      continue;
    r.kind = kind;
    const std::wstring file = ServerFile(command);
    r.path = Narrow(file);
    r.bits = BitsOf(file);
    r.only32BitView = view == KEY_WOW64_32KEY;
    break;
  }
  return r;
}

std::string Describe(const RegisteredServer& s) {
  if (!s.registered)
    return "not registered";
  if (s.kind.empty())
    return "the ProgID names class " + s.clsid + ", which has no server registered";
  return s.kind + ", " + s.bits + ", " + s.path +
         (s.only32BitView ? " (registered for 32-bit programs only)" : "");
}

}  // namespace focura::check
