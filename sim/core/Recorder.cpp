#include "sim/core/Recorder.h"

#include "sim/core/SimError.h"
#include "text/VisibleText.h"

namespace zsim {

std::string EscapeField(std::string_view text) {
  return focura::EscapeText(text, focura::EscapeSet::FieldSeparators);
}

std::string FormatLogLine(const Entry& e) {
  return std::to_string(e.seq) + '\t' + std::to_string(e.receivedMs) + '\t' +
         std::to_string(e.completedMs) + '\t' + (e.ok ? "OK" : "ERR") + '\t' +
         EscapeField(e.command) + '\t' + EscapeField(e.reply) + '\n';
}

void Recorder::OpenLog(const std::filesystem::path& path, uint32_t nowMs) {
  log_.close();
  log_.clear();
  log_.open(path, std::ios::out | std::ios::app | std::ios::binary);
  if (!log_) {
    const std::u8string name = path.u8string();
    throw SimError("Cannot open the log file " +
                   std::string(reinterpret_cast<const char*>(name.data()), name.size()));
  }
  log_ << "# session " << nowMs << '\n' << std::flush;
}

void Recorder::Add(Entry e) {
  if (log_.is_open())
    log_ << FormatLogLine(e) << std::flush;
  recent_.push_back(std::move(e));
  while (recent_.size() > keep_)
    recent_.pop_front();
}

}  // namespace zsim
