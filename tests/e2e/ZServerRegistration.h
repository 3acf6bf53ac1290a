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

}  // namespace focura::e2e
