#include "PcFacts.h"

#include <windows.h>

#include "win32/Owned.h"
#include "win32/RegionalSettings.h"
#include "win32/Utf.h"

namespace focura::check {

namespace {

std::string WindowsVersion() {
  // GetVersionEx answers what the manifest declares; the kernel's own call answers the truth.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<RtlGetVersionFn>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                   : nullptr;
  if (get == nullptr || get(&v) != 0)
    return "unknown";
  std::string text = std::to_string(v.dwMajorVersion) + "." + std::to_string(v.dwMinorVersion) +
                     " build " + std::to_string(v.dwBuildNumber);
  // Windows 11 still answers 10.0; its builds start at 22000.
  if (v.dwMajorVersion == 10 && v.dwBuildNumber >= 22000)
    text += " (Windows 11)";
  else if (v.dwMajorVersion == 10)
    text += " (Windows 10)";
  return text;
}

std::string SystemDpi() {
  const win32::UniqueWindowDc dc(nullptr);
  const int dpi = GetDeviceCaps(dc.get(), LOGPIXELSX);
  return std::to_string(dpi) + " dpi (" + std::to_string(MulDiv(dpi, 100, 96)) + " %)";
}

std::string KeyboardLayout() {
  wchar_t id[KL_NAMELENGTH] = {};
  GetKeyboardLayoutNameW(id);
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
  const LANGID lang = LOWORD(reinterpret_cast<ULONG_PTR>(GetKeyboardLayout(0)));
  LCIDToLocaleName(MAKELCID(lang, SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0);
  return win32::Narrow(id) + (name[0] ? " (" + win32::Narrow(name) + ")" : std::string());
}

}  // namespace

std::string WineVersion() {
  using WineGetVersionFn = const char*(CDECL*)();
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto get = ntdll ? reinterpret_cast<WineGetVersionFn>(
                         reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")))
                   : nullptr;
  return get ? get() : "";
}

bool Elevated() {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
    return false;
  const focura::win32::UniqueHandle token(opened);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool ok =
      GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) != 0;
  return ok && elevation.TokenIsElevated != 0;
}

bool AdministratorWithUacOff() {
  if (!WineVersion().empty())
    return false;  // Wine has no UAC; it runs every program elevated
  const std::wstring lua = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  DWORD value = 1, size = sizeof value;
  // Missing, the value counts as on, as Windows takes it.
  if (RegGetValueW(HKEY_LOCAL_MACHINE, lua.c_str(), L"EnableLUA", RRF_RT_REG_DWORD, nullptr, &value,
                   &size) != ERROR_SUCCESS ||
      value != 0)
    return false;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &admins))
    return false;
  BOOL member = FALSE;
  const bool ok = CheckTokenMembership(nullptr, admins, &member) != 0;
  FreeSid(admins);
  return ok && member;
}

bool WindowsIs64Bit() {
  if (sizeof(void*) == 8)
    return true;
  BOOL wow = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow) && wow;
}

Width ThisWidth() {
  return sizeof(void*) == 8 ? Width::Bits64 : Width::Bits32;
}

ReportFacts PcFacts() {
  ReportFacts facts;
  facts.emplace_back("Windows version", WindowsVersion());
  if (const std::string wine = WineVersion(); !wine.empty())
    facts.emplace_back("Wine", wine + " (checks Wine cannot show are skipped)");
  facts.emplace_back("Display DPI", SystemDpi());
  facts.emplace_back("Keyboard layout", KeyboardLayout());
  facts.emplace_back("Decimal separator", "\"" + win32::RegionalDecimalSeparator() + "\"");
  const char* elevated = "no";
  if (Elevated()) {
    if (!WineVersion().empty())
      elevated = "yes (Wine runs every program so)";
    else if (AdministratorWithUacOff())
      elevated = "yes (UAC is off: every program of this user runs so)";
    else
      elevated = "yes: run the check again as a normal user";
  }
  facts.emplace_back("Elevated (administrator)", elevated);
  facts.emplace_back("Administrator with UAC off",
                     AdministratorWithUacOff()
                         ? "yes: COM ignores per-user classes here, so the check registers its "
                           "simulator for the machine and removes it when it ends"
                         : "no");
  facts.emplace_back("This check", std::string(ThisWidth() == Width::Bits64 ? "64" : "32") +
                                       "-bit, on " + (WindowsIs64Bit() ? "64" : "32") +
                                       "-bit Windows");
  SYSTEMTIME t{};
  GetLocalTime(&t);
  char when[32];
  wsprintfA(when, "%04u-%02u-%02u %02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
  facts.emplace_back("Checked at", when);
  return facts;
}

}  // namespace focura::check
