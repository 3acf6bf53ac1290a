#pragma once
// What a process holds as the system counts it: threads, kernel handles, GDI and USER objects,
// private memory. A count the system does not keep stays empty instead of reading as zero; where
// Wine leaves the usual call at zero but keeps the same figure elsewhere, that source is used and
// named.

#include <cstdint>
#include <optional>
#include <vector>

namespace focura::e2e {

struct ResourceCount {
  std::optional<uint64_t> value;
  const char* source = "";
};

struct ResourceCounts {
  ResourceCount threads;
  ResourceCount handles;
  ResourceCount gdiObjects;
  ResourceCount userObjects;
  ResourceCount privateBytes;
};

// Throws when the process cannot be opened for querying.
ResourceCounts ResourcesOf(unsigned long pid);

// The ids of the threads the process has now (empty when the system gives no snapshot).
std::vector<unsigned long> ThreadIdsOf(unsigned long pid);

}  // namespace focura::e2e
