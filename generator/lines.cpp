#include "generator/lines.h"

#include "text/gbk.h"

namespace quillora {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos + 2 <= text.size()) {
    if (text[pos] == '\r' && text[pos + 1] == '\n') {
      lines.push_back(text.substr(start, pos - start));
      pos += 2;
      start = pos;
    } else {
      pos += text::CharLength(text, pos);
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace quillora
