#include "text/gbk.h"

namespace quillora::text {

std::size_t FindAtCharStart(std::string_view haystack, std::string_view needle,
                            std::size_t from) {
  if (needle.empty()) return std::string_view::npos;
  for (std::size_t pos = from; pos < haystack.size(); pos += CharLength(haystack, pos)) {
    if (haystack.compare(pos, needle.size(), needle) == 0) return pos;
  }
  return std::string_view::npos;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(s.size());
  std::size_t copied = 0;  // everything before `copied` is already in `out`
  std::size_t pos = 0;
  while ((pos = FindAtCharStart(s, from, pos)) != std::string_view::npos) {
    out.append(s, copied, pos - copied);
    out.append(to);
    pos += from.size();
    copied = pos;
  }
  out.append(s, copied);
  return out;
}

std::size_t FindLastCharAtCharStart(std::string_view s, char c) {
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) {
    if (s[pos] == c) found = pos;
  }
  return found;
}

}  // namespace quillora::text
