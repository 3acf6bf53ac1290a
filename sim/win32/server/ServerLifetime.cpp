#include "ServerLifetime.h"

#include <objbase.h>

namespace zsim::win32 {

ServerLifetime::ServerLifetime() : exit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ServerLifetime::~ServerLifetime() {
  CloseHandle(exit_);
}

void ServerLifetime::Lock() {
  everLocked_ = true;
  CoAddRefServerProcess();
}

void ServerLifetime::Unlock() {
  // At zero COM suspends the class object itself, so no new client can slip in while we leave.
  if (CoReleaseServerProcess() == 0)
    SetEvent(exit_);
}

}  // namespace zsim::win32
