// The configuration item reader: the last item is the one LastConfigItem gives, and the items
// written back (quoted, one per line) read as the same items.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "capture/ConfigItems.h"
#include "text/Blanks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> items = focura::ReadConfigItems(text);
  FUZZ_CHECK(items.empty() == text.empty());
  FUZZ_CHECK(items.size() <= text.size() + 1);
  FUZZ_CHECK(focura::LastConfigItem(text) == (items.empty() ? "" : items.back()));

  // A quoted item cannot hold a quote; an item holding one was either not quoted, so it holds no
  // separator and starts with neither a blank nor a quote, or is a quoted path with the text
  // after it, which reads back as itself: either can be written as it is.
  std::string written;
  for (const std::string& item : items) {
    written += item.find('"') == std::string::npos ? '"' + item + '"' : item;
    written += "\r\n";
  }
  FUZZ_CHECK(focura::ReadConfigItems(written) == items);

  const std::string trimmed(focura::TrimBlanks(text));
  FUZZ_CHECK(trimmed.empty() || (trimmed.front() != ' ' && trimmed.back() != ' '));
  FUZZ_CHECK(text.find(trimmed) != std::string_view::npos);
  return 0;
}
