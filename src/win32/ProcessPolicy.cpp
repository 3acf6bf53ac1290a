#include "win32/ProcessPolicy.h"

#include <windows.h>

namespace focura::win32 {
namespace {

// From the Windows 8 and later SDK, which the Windows 7 target of this build does not declare.
constexpr int kProcessPowerThrottling = 4;  // PROCESS_INFORMATION_CLASS::ProcessPowerThrottling
constexpr ULONG kThrottlingCurrentVersion = 1;
constexpr ULONG kIgnoreTimerResolution = 0x4;

struct PowerThrottlingState {
  ULONG version;
  ULONG controlMask;
  ULONG stateMask;
};

using SetProcessInformationFn = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);

}  // namespace

bool KeepTimerResolutionWhenHidden() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr)
    return false;
  const auto set = reinterpret_cast<SetProcessInformationFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessInformation")));
  if (set == nullptr)
    return false;
  // The bit in the control mask with a clear state bit: "never ignore this process's timer
  // resolution request".
  PowerThrottlingState state{kThrottlingCurrentVersion, kIgnoreTimerResolution, 0};
  return set(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state) != FALSE;
}

void KeepWindowsFromGhosting() {
  DisableProcessWindowsGhosting();
}

}  // namespace focura::win32
