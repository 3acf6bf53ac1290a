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

// The simulator's class, wherever COM would find it.
bool SimClassRegistered() {
  return win32::RegKeyExists(HKEY_CURRENT_USER, kUserClasses + ClassKey()) ||
         win32::RegKeyExists(HKEY_CLASSES_ROOT, ClassKey());
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

OwnZServerRegistration::OwnZServerRegistration(const std::wstring& zsimExe) {
  const std::string real =
      Narrow(win32::ReadRegString(HKEY_CLASSES_ROOT, L"Hoistra.HoistraCmd\\CLSID", nullptr));
  // A check that was ended before it could clean up left its own registration: taken over.
  const bool ownLeftover = win32::RegKeyExists(HKEY_CURRENT_USER, kUserClasses + kOwnProgId) &&
                           _wcsicmp(Widen(real).c_str(), kSimClsidText) != 0;
  if (SimClassRegistered() && !ownLeftover)
    throw std::runtime_error(
        "the simulator's class is already registered" +
        std::string(_wcsicmp(Widen(real).c_str(), kSimClsidText) == 0
                        ? " as the Z server (zsim.exe /RegServer)"
                        : "") +
        "; the check leaves that registration alone (zsim.exe /UnregServer removes it)");
  const std::wstring server = L"\"" + zsimExe + L"\"";
  auto write = [&](HKEY root, const std::wstring& prefix) {
    WriteString(root, prefix + kOwnProgId, nullptr, L"Z server simulator for the PC check");
    WriteString(root, prefix + kOwnProgId + L"\\CLSID", nullptr, kSimClsidText);
    WriteString(root, prefix + ClassKey(), nullptr, L"Z server simulator for the PC check");
    WriteString(root, prefix + ClassKey() + L"\\LocalServer32", nullptr, server);
  };
  write(HKEY_CURRENT_USER, kUserClasses);
  // Windows shows the user's classes in HKEY_CLASSES_ROOT; Wine does not, and COM reads only that.
  if (win32::ReadRegString(HKEY_CLASSES_ROOT, ClassKey() + L"\\LocalServer32", nullptr) != server) {
    wroteMerged_ = true;
    write(HKEY_CLASSES_ROOT, L"");
  }
}

OwnZServerRegistration::~OwnZServerRegistration() {
  RegDeleteTreeW(HKEY_CURRENT_USER, (kUserClasses + kOwnProgId).c_str());
  RegDeleteTreeW(HKEY_CURRENT_USER, (kUserClasses + ClassKey()).c_str());
  if (wroteMerged_) {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kOwnProgId.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
  }
}

RegisteredServer DescribeRegistration(const std::string& progId) {
  RegisteredServer r;
  const std::wstring clsid =
      win32::ReadRegString(HKEY_CLASSES_ROOT, Widen(progId) + L"\\CLSID", nullptr);
  if (clsid.empty())
    return r;
  r.registered = true;
  r.clsid = Narrow(clsid);
  for (const REGSAM view :
       {static_cast<REGSAM>(KEY_WOW64_64KEY), static_cast<REGSAM>(KEY_WOW64_32KEY)}) {
    const std::wstring cls = L"CLSID\\" + clsid;
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
