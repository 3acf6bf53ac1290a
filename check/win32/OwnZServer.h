#pragma once
// The simulator zsim.exe registered per user under a ProgID of the check's own, so that checks
// reach it over COM exactly as the tool reaches the Z server, while the Z server's own ProgID is
// only ever read. And what that ProgID leads to on this PC.

#include <string>

namespace focura::check {

inline constexpr const char* kCheckProgId = "Focura.CheckZServer";

class OwnZServerRegistration {
 public:
  // Registers `zsimExe`; throws std::runtime_error when it may not (the simulator's class is
  // registered already, perhaps as the Z server itself, and is left alone) or cannot.
  explicit OwnZServerRegistration(const std::wstring& zsimExe);
  // Removes what the constructor wrote, and nothing else.
  ~OwnZServerRegistration();
  OwnZServerRegistration(const OwnZServerRegistration&) = delete;
  OwnZServerRegistration& operator=(const OwnZServerRegistration&) = delete;

 private:
  bool wroteMerged_ = false;
};

struct RegisteredServer {
  bool registered = false;
  std::string clsid;
  std::string kind;  // "in-process server (DLL)", "local server (EXE)", "" when no class
  std::string path;
  std::string bits;            // "64-bit", "32-bit", "unknown"
  bool only32BitView = false;  // registered for 32-bit programs only
};

// What `progId` names on this PC, read only.
RegisteredServer DescribeRegistration(const std::string& progId);
std::string Describe(const RegisteredServer& server);

}  // namespace focura::check
