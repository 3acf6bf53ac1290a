#pragma once
// Per-user registration of the simulator as the Z server (no administrator rights needed):
//   HKCU\Software\Classes\<ProgID>\CLSID            = {CLSID}
//   HKCU\Software\Classes\CLSID\{CLSID}\LocalServer32 = "<path of zsim.exe>"
//   HKCU\Software\Classes\CLSID\{CLSID}\ProgID        = <ProgID>
//   HKCU\Software\Classes\CLSID\{CLSID}  value ZSimLog = the recorder's log file (optional)
// Where HKEY_CLASSES_ROOT does not show the user's classes (Wine), the same tree is also written
// below HKEY_CLASSES_ROOT itself, since that is all COM reads there.

#include <string>

#include "core/SimError.h"

namespace zsim::win32 {

// The ProgID names another server (on a rig, the real Z server): registering would take its
// place. what() names the class it leads to and says how to proceed anyway.
struct RegistrationRefused : SimError {
  using SimError::SimError;
};

// Throws SimError naming what failed. Refuses (RegistrationRefused) while the ProgID names a class
// other than the simulator's, unless `force`.
void RegisterServer(const std::wstring& exePath, const std::wstring& logPath, bool force = false);
// Removes our class from both places, and the ProgID only where it still names our class: a real Z
// server registered under the same name is left alone.
void UnregisterServer();
// The log path stored at registration, or empty.
std::wstring RegisteredLogPath();

}  // namespace zsim::win32
