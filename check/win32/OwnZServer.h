#pragma once
// The simulator zsim.exe registered per user under a ProgID of the check's own, so that checks
// reach it over COM exactly as the tool reaches the Z server, while the Z server's own ProgID is
// only ever read. And what that ProgID leads to on this PC.

#include <stdexcept>
#include <string>
#include <vector>

#include "zserver/ServerWidth.h"

namespace focura::check {

inline constexpr const char* kCheckProgId = "Focura.CheckZServer";

// Why the simulator cannot be registered, and what the operator does about it.
struct RegistrationRefused : std::runtime_error {
  RegistrationRefused(const std::string& why, std::string whatToDo)
      : std::runtime_error(why), todo(std::move(whatToDo)) {}
  std::string todo;
};

class OwnZServerRegistration {
 public:
  // Registers `zsimExe` per user, and for the machine as well where COM would not see a per-user
  // class: an elevated process (an administrator with UAC off runs every program so) and Wine,
  // whose COM reads only HKEY_CLASSES_ROOT. Throws RegistrationRefused when it may not (the
  // simulator's class is registered already, by the operator, and is left alone) or cannot.
  OwnZServerRegistration(const std::wstring& zsimExe, bool forMachine);
  // Removes what the check registered, by its marks.
  ~OwnZServerRegistration();
  OwnZServerRegistration(const OwnZServerRegistration&) = delete;
  OwnZServerRegistration& operator=(const OwnZServerRegistration&) = delete;
};

// What an earlier run of the check left registered (its ProgID, and the simulator's class where
// it carries the check's mark), removed; one line for each place cleaned. The lab's Z server and
// a simulator the operator registered carry no mark and stay.
std::vector<std::string> RemoveOwnRegistration();

struct RegisteredServer {
  bool registered = false;
  std::string clsid;
  std::string kind;  // "in-process server (DLL)", "local server (EXE)", "" when no class
  std::string path;
  std::string bits;             // "64-bit", "32-bit", "unknown"
  bool only32BitView = false;   // registered for 32-bit programs only
  ClassEntries bits32, bits64;  // what each view of the registry holds for the class
};

// What `progId` names on this PC, read only.
RegisteredServer DescribeRegistration(const std::string& progId);
std::string Describe(const RegisteredServer& server);

}  // namespace focura::check
