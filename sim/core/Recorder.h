#pragma once
// Keeps every command the simulator received with its outcome and two counter readings. The
// latest entries stay in memory for the simulator's window; with a log file open, each entry is
// appended as one line and flushed at once, so a crash loses nothing and a reader can follow it.
//
// Log line (UTF-8, fields separated by one tab, ended by LF):
//   seq  received_ms  completed_ms  status  command  reply
// seq counts commands from 1 in receipt order for this session; the two times are readings of the
// 32-bit millisecond counter (timeGetTime on Windows) when the command arrived and when its
// answer was ready; status is OK (a reply) or ERR (a refusal or injected failure, whose message
// fills the reply field). In command and reply, \ is written \\, tab \t, LF \n and CR \r.
// Lines starting with # are comments: each session opens with "# session <ms>".

#include <cstdint>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace zsim {

struct Entry {
  uint64_t seq = 0;
  uint32_t receivedMs = 0;
  uint32_t completedMs = 0;
  bool ok = true;
  std::string command;
  std::string reply;  // the reply, or the failure's message
};

std::string EscapeField(std::string_view text);
std::string FormatLogLine(const Entry& e);

class Recorder {
 public:
  explicit Recorder(size_t keep = 100) : keep_(keep) {}

  // Appends to `path` from now on; throws SimError when it cannot be opened.
  void OpenLog(const std::filesystem::path& path, uint32_t nowMs);
  bool Logging() const { return log_.is_open(); }

  uint64_t NextSeq() { return ++seq_; }
  void Add(Entry e);
  // Oldest first.
  std::vector<Entry> Recent() const { return {recent_.begin(), recent_.end()}; }

 private:
  size_t keep_;
  uint64_t seq_ = 0;
  std::deque<Entry> recent_;
  std::ofstream log_;
};

}  // namespace zsim
