// Lines of a text file as readers of text formats see them.
#pragma once

#include <cstddef>
#include <string_view>

namespace tesvar {

// Splits text into lines ending in CR LF, LF or CR; the last line needs no
// line end.
class TextLineReader {
 public:
  explicit TextLineReader(std::string_view text) : text_(text) {}
  bool AtEnd() const { return pos_ >= text_.size(); }
  std::string_view Next() {
    const std::size_t start = pos_;
    std::size_t end = text_.find_first_of("\r\n", pos_);
    if (end == std::string_view::npos) end = text_.size();
    pos_ = end;
    if (end < text_.size()) {
      pos_ = end + 1;
      if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return text_.substr(start, end - start);
  }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The text without leading and trailing blanks, tabs and line end bytes.
inline std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace tesvar
