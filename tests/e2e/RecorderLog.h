#pragma once
// Reads the simulator's command record: one line per command received,
//   seq <TAB> received_ms <TAB> completed_ms <TAB> OK|ERR <TAB> command <TAB> reply
// with \\, \t, \n and \r escaped in the two texts; lines starting with # are comments.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace focura::e2e {

struct RecordedCommand {
  uint64_t seq = 0;
  uint32_t receivedMs = 0;
  uint32_t completedMs = 0;
  bool ok = true;
  std::string command;
  std::string reply;
};

// Parses the whole text; a line that is not a well-formed record throws std::runtime_error naming
// it. A last line without its LF is still being written and is left out.
std::vector<RecordedCommand> ParseRecorderLog(std::string_view text);

// The commands alone, in receipt order.
std::vector<std::string> Commands(const std::vector<RecordedCommand>& record);

}  // namespace focura::e2e
