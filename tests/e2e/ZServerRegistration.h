#pragma once
// Per-user COM registration of a simulator copy under the Z server's ProgID.

#include <string>

namespace focura::e2e {

inline constexpr const char* kZServerProgId = "Hoistra.HoistraCmd";

// Registers `zsimExe` (its own /RegServer) with its recorder writing to `recordPath`, then checks
// that the ProgID now leads to that very copy. Throws otherwise.
void RegisterZServerCopy(const std::string& zsimExe, const std::string& recordPath,
                         const std::string& directory);
// Removes the registration (its own /UnregServer) and checks that the ProgID is gone.
void UnregisterZServerCopy(const std::string& zsimExe, const std::string& directory);
// The local server the ProgID currently leads to ("" when it is not registered).
std::string RegisteredServerCommand();

// Which registry view, and so which regsvr32: the tool's own width or the other one.
enum class DllWidth { Own, Other };
// Registers the in-process simulator `dll` with regsvr32 of that width, its recorder writing to
// `recordPath`, then checks that the ProgID's class in that view leads to that very file.
void RegisterDllServer(const std::string& dll, DllWidth width, const std::string& recordPath,
                       const std::string& directory);
// regsvr32 /u of that width; checks that the class is gone from that view.
void UnregisterDllServer(const std::string& dll, DllWidth width, const std::string& directory);
// The DLL the ProgID's class leads to in that view ("" when none).
std::string RegisteredDll(DllWidth width);

}  // namespace focura::e2e
