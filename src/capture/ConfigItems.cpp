#include "capture/ConfigItems.h"

namespace focura {

namespace {

constexpr char kQuote = '"';

bool IsLineEnd(char c) {
  return c == '\r' || c == '\n';
}

class ItemReader {
 public:
  explicit ItemReader(std::string_view text) : text_(text) {}

  // Whether another item follows: always after a comma, never at the end of the text otherwise.
  bool More() const { return pos_ < text_.size() || afterComma_; }

  std::string Next() {
    afterComma_ = false;
    while (pos_ < text_.size() && text_[pos_] == ' ')
      ++pos_;
    std::string item;
    if (pos_ < text_.size() && text_[pos_] == kQuote) {
      const size_t close = text_.find(kQuote, pos_ + 1);
      if (close == std::string_view::npos) {
        item = std::string(text_.substr(pos_ + 1));
        pos_ = text_.size();
        return item;
      }
      item = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close + 1;
      const size_t after = pos_;
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_]))
        ++pos_;
      // A quoted program path followed by its arguments: the quotes stay, so that the command
      // line still says where the path ends.
      const std::string_view rest = text_.substr(after, pos_ - after);
      if (rest.find_first_not_of(' ') != std::string_view::npos)
        item = kQuote + item + kQuote + std::string(rest);
    } else {
      const size_t start = pos_;
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_]))
        ++pos_;
      item = std::string(text_.substr(start, pos_ - start));
    }
    SkipSeparator();
    return item;
  }

 private:
  void SkipSeparator() {
    if (pos_ >= text_.size())
      return;
    if (text_[pos_] == ',') {
      afterComma_ = true;
      ++pos_;
      return;
    }
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
      ++pos_;
    ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
  bool afterComma_ = false;
};

}  // namespace

std::vector<std::string> ReadConfigItems(std::string_view text) {
  std::vector<std::string> items;
  ItemReader reader(text);
  while (reader.More())
    items.push_back(reader.Next());
  return items;
}

std::string LastConfigItem(std::string_view text) {
  std::string last;
  ItemReader reader(text);
  while (reader.More())
    last = reader.Next();
  return last;
}

}  // namespace focura
