#include "desktop/TargetLog.h"

#include "desktop/FileText.h"

#include <charconv>
#include <map>
#include <stdexcept>

namespace focura::desktop {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> w;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && line[i] == ' ')
      ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ')
      ++i;
    if (i > start)
      w.push_back(line.substr(start, i - start));
  }
  return w;
}

uint32_t Number(std::string_view text, std::string_view line) {
  uint32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size())
    throw std::runtime_error("bad number in stand-in log line: " + std::string(line));
  return v;
}

TargetEvent ParseLine(std::string_view line) {
  const auto w = Words(line);
  if (w.size() < 2)
    throw std::runtime_error("short stand-in log line: " + std::string(line));
  TargetEvent e;
  e.timeMs = Number(w[0], line);
  std::map<std::string_view, uint32_t> fields;
  for (size_t i = 2; i < w.size(); ++i) {
    size_t eq = w[i].find('=');
    if (eq == std::string_view::npos)
      throw std::runtime_error("field without value in stand-in log line: " + std::string(line));
    fields[w[i].substr(0, eq)] = Number(w[i].substr(eq + 1), line);
  }
  auto need = [&](std::string_view name) {
    auto it = fields.find(name);
    if (it == fields.end())
      throw std::runtime_error("missing " + std::string(name) + " in: " + std::string(line));
    return it->second;
  };
  const std::string_view kind = w[1];
  if (kind == "KEYDOWN" || kind == "SYSKEYDOWN" || kind == "CHAR") {
    e.kind = kind == "CHAR"      ? TargetEventKind::Char
             : kind == "KEYDOWN" ? TargetEventKind::KeyDown
                                 : TargetEventKind::SysKeyDown;
    e.code = need(kind == "CHAR" ? "ch" : "vk");
    e.shift = need("shift") != 0;
    e.ctrl = need("ctrl") != 0;
    e.alt = need("alt") != 0;
  } else if (kind == "START") {
    e.kind = TargetEventKind::Start;
    e.code = need("pid");
  } else if (kind == "DIALOG") {
    e.kind = TargetEventKind::Dialog;
    e.on = need("open") != 0;
    e.code = need("bykey");
  } else if (kind == "ACTIVATE") {
    e.kind = TargetEventKind::Activate;
    e.on = need("on") != 0;
  } else {
    throw std::runtime_error("unknown event in stand-in log line: " + std::string(line));
  }
  e.foreground = need("fg") != 0;
  return e;
}

}  // namespace

std::vector<TargetEvent> ParseTargetLog(std::string_view text) {
  std::vector<TargetEvent> out;
  for (std::string_view line : CompleteLines(text)) {
    if (!line.empty())
      out.push_back(ParseLine(line));
  }
  return out;
}

std::vector<TargetEvent> KeyDowns(const std::vector<TargetEvent>& events) {
  std::vector<TargetEvent> out;
  for (const auto& e : events) {
    if (e.kind == TargetEventKind::KeyDown || e.kind == TargetEventKind::SysKeyDown)
      out.push_back(e);
  }
  return out;
}

}  // namespace focura::desktop
