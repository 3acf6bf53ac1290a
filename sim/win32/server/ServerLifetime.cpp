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

bool ServerLifetime::WaitForExit(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        SetEvent(exit_);
        return true;
      }
      DispatchMessageW(&msg);
    }
    const DWORD waited = GetTickCount() - start;
    if (ms != INFINITE && waited >= ms)
      return WaitForSingleObject(exit_, 0) == WAIT_OBJECT_0;
    const DWORD left = ms == INFINITE ? INFINITE : ms - waited;
    const DWORD r = MsgWaitForMultipleObjects(1, &exit_, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0)
      return true;
  }
}

}  // namespace zsim::win32
