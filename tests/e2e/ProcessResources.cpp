#include "ProcessResources.h"

#include "Desktop.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "win32/Owned.h"

namespace focura::e2e {
namespace {

// Every figure asked for here is above zero in a process that shows a window; zero is what an
// unimplemented count answers.
ResourceCount Counted(uint64_t value, const char* source) {
  if (value == 0)
    return {};
  return {value, source};
}

// The system's handle table, counted for one process. Wine keeps it although its
// GetProcessHandleCount answers 0.
uint64_t HandlesInSystemTable(unsigned long pid) {
  struct Entry {
    ULONG pid;
    UCHAR type;
    UCHAR flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  struct Table {
    ULONG count;
    Entry entries[1];
  };
  constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
  constexpr auto kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
  std::vector<unsigned char> buffer(1 << 16);
  NTSTATUS status;
  while ((status = NtQuerySystemInformation(kSystemHandleInformation, buffer.data(),
                                            static_cast<ULONG>(buffer.size()), nullptr)) ==
         kInfoLengthMismatch) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0)
    return 0;
  const auto* table = reinterpret_cast<const Table*>(buffer.data());
  uint64_t n = 0;
  for (ULONG i = 0; i < table->count; ++i) {
    if (table->entries[i].pid == pid)
      ++n;
  }
  return n;
}

}  // namespace

ResourceCounts ResourcesOf(unsigned long pid) {
  const win32::UniqueHandle owned(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  HANDLE process = owned.get();
  if (process == nullptr) {
    throw std::runtime_error("cannot open process " + std::to_string(pid) +
                             " to count its resources: " + LastErrorText());
  }
  ResourceCounts counts;
  counts.threads = Counted(ThreadIdsOf(pid).size(), "thread snapshot");
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles))
    counts.handles = Counted(handles, "GetProcessHandleCount");
  if (!counts.handles.value) {
    counts.handles =
        Counted(HandlesInSystemTable(pid), "system handle table (GetProcessHandleCount reads 0)");
  }
  counts.gdiObjects = Counted(GetGuiResources(process, GR_GDIOBJECTS), "GetGuiResources");
  counts.userObjects = Counted(GetGuiResources(process, GR_USEROBJECTS), "GetGuiResources");
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    // On Windows both fields are the process's commit charge; Wine fills only the older one, with
    // the private memory the process has resident or swapped out.
    counts.privateBytes = Counted(memory.PrivateUsage, "PrivateUsage");
    if (!counts.privateBytes.value) {
      counts.privateBytes = Counted(memory.PagefileUsage, "PagefileUsage (PrivateUsage reads 0)");
    }
  }
  return counts;
}

std::vector<unsigned long> ThreadIdsOf(unsigned long pid) {
  std::vector<unsigned long> ids;
  const win32::UniqueFile owned(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!owned)
    return ids;
  HANDLE snapshot = owned.get();
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == pid)
      ids.push_back(entry.th32ThreadID);
  }
  return ids;
}

}  // namespace focura::e2e
