#pragma once
// Per-user registration of the simulator as the Z server (no administrator rights needed):
//   HKCU\Software\Classes\<ProgID>\CLSID            = {CLSID}
//   HKCU\Software\Classes\CLSID\{CLSID}\LocalServer32 = "<path of zsim.exe>"
//     or, for the in-process server, \InprocServer32 = <path of zsim32.dll or zsim64.dll>
//                                     value ThreadingModel = Both
//   HKCU\Software\Classes\CLSID\{CLSID}\ProgID        = <ProgID>
//   HKCU\Software\Classes\CLSID\{CLSID}  value ZSimLog = the recorder's log file (optional)
// Where HKEY_CLASSES_ROOT does not show the user's classes (Wine), the same tree is also written
// below HKEY_CLASSES_ROOT itself, since that is all COM reads there.
// A 32-bit process writes the class into the system's 32-bit view of the classes, a 64-bit one
// into the 64-bit view: each kind of client finds the server it can load.

#include <string>

#include "sim/core/SimError.h"

namespace zsim::win32 {

// The ProgID names another server (on a rig, the real Z server): registering would take its
// place. what() names the class it leads to and says how to proceed anyway.
struct RegistrationRefused : SimError {
  using SimError::SimError;
};

// How COM reaches the server: zsim.exe in a process of its own, or a DLL loaded into the client.
enum class ServerKind { Local, InProcess };

// Throws SimError naming what failed. Refuses (RegistrationRefused) while the ProgID names a class
// other than the simulator's, unless `force`. The class then leads to `path` alone: registering
// one kind removes the other kind's entry in this process's view.
void RegisterServer(ServerKind kind, const std::wstring& path, const std::wstring& logPath,
                    bool force = false);
// Removes our class from both places, and the ProgID only where it still names our class: a real Z
// server registered under the same name is left alone.
void UnregisterServer();
// Removes our class only where its server (zsim.exe or a zsim DLL) lies directly in `folder`, in
// either view of the classes, with the ProgID where it names our class. A registration of a copy
// elsewhere, and any other server's, stays. Returns whether anything was removed.
bool UnregisterServerIn(const std::wstring& folder);
// Whether a registered server entry (a command line in quotes, or a DLL path) names a file directly
// in `folder`; the case of the letters does not count.
bool IsInFolder(std::wstring server, const std::wstring& folder);
// The log path stored at registration, or empty.
std::wstring RegisteredLogPath();

// Whether a command-line word is the switch `name`: "/Name" or "-Name", in any case, as both the
// server's own command line and regsvr32's /i: text take them.
bool IsSwitch(const std::wstring& arg, const wchar_t* name);

}  // namespace zsim::win32
