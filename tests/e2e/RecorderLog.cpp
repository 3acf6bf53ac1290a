#include "RecorderLog.h"

#include "Desktop.h"

#include <charconv>
#include <stdexcept>

namespace focura::e2e {
namespace {

std::string Unescape(std::string_view field, std::string_view line) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      out += field[i];
      continue;
    }
    if (++i == field.size())
      throw std::runtime_error("dangling escape in record line: " + std::string(line));
    switch (field[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        throw std::runtime_error("unknown escape in record line: " + std::string(line));
    }
  }
  return out;
}

template <typename T>
T Number(std::string_view field, std::string_view line) {
  T value{};
  auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (ec != std::errc() || end != field.data() + field.size() || field.empty())
    throw std::runtime_error("bad number in record line: " + std::string(line));
  return value;
}

RecordedCommand ParseLine(std::string_view line) {
  std::vector<std::string_view> f;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    if (tab == std::string_view::npos) {
      f.push_back(line.substr(start));
      break;
    }
    f.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  if (f.size() != 6)
    throw std::runtime_error("record line without six fields: " + std::string(line));
  RecordedCommand r;
  r.seq = Number<uint64_t>(f[0], line);
  r.receivedMs = Number<uint32_t>(f[1], line);
  r.completedMs = Number<uint32_t>(f[2], line);
  if (f[3] == "OK")
    r.ok = true;
  else if (f[3] == "ERR")
    r.ok = false;
  else
    throw std::runtime_error("bad status in record line: " + std::string(line));
  r.command = Unescape(f[4], line);
  r.reply = Unescape(f[5], line);
  return r;
}

}  // namespace

std::vector<RecordedCommand> ParseRecorderLog(std::string_view text) {
  std::vector<RecordedCommand> out;
  for (std::string_view line : CompleteLines(text)) {
    if (line.empty() || line.front() == '#')
      continue;
    out.push_back(ParseLine(line));
  }
  return out;
}

std::vector<std::string> Commands(const std::vector<RecordedCommand>& record) {
  std::vector<std::string> out;
  out.reserve(record.size());
  for (const auto& r : record)
    out.push_back(r.command);
  return out;
}

}  // namespace focura::e2e
