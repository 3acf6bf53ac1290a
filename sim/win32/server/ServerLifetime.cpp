#include "ServerLifetime.h"

#include <objbase.h>

namespace zsim::win32 {

ServerLifetime::ServerLifetime() : exit_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

ServerLifetime::~ServerLifetime() = default;

void ServerLifetime::Lock() {
  everLocked_ = true;
  CoAddRefServerProcess();
}

void ServerLifetime::Unlock() {
  // At zero COM suspends the class object itself, so no new client can slip in while we leave.
  if (CoReleaseServerProcess() == 0)
    SetEvent(exit_.get());
}

bool ServerLifetime::WaitForExit(DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        SetEvent(exit_.get());
        return true;
      }
      DispatchMessageW(&msg);
    }
    const DWORD waited = GetTickCount() - start;
    if (ms != INFINITE && waited >= ms)
      return WaitForSingleObject(exit_.get(), 0) == WAIT_OBJECT_0;
    const DWORD left = ms == INFINITE ? INFINITE : ms - waited;
    HANDLE handles[] = {exit_.get()};
    const DWORD r = MsgWaitForMultipleObjects(1, handles, FALSE, left, QS_ALLINPUT);
    if (r == WAIT_OBJECT_0)
      return true;
  }
}

}  // namespace zsim::win32
