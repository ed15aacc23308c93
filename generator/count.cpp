#include "generator/count.h"

#include <limits>

#include "text/gbk.h"

namespace quillora {

namespace {

// The single byte that stands for a double-byte character, or 0 when it stays as it is.
char FoldedByte(unsigned char lead, unsigned char trail) {
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<char>(trail & 0x7F);
  if (lead == 0xA1) {
    switch (trail) {
      case 0xA1: return ' ';  // ideographic space
      case 0xAB: return '~';  // full-width tilde
      case 0xEE:              // white star
      case 0xEF: return '*';  // black star
      default: break;
    }
  }
  return 0;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string FoldFullWidth(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    if (!text::IsLeadByte(text[pos])) {
      out.push_back(text[pos++]);
      continue;
    }
    if (pos + 1 >= text.size()) break;  // a lone lead byte at the end is dropped
    const char folded = FoldedByte(static_cast<unsigned char>(text[pos]),
                                   static_cast<unsigned char>(text[pos + 1]));
    if (folded != 0) {
      out.push_back(folded);
    } else {
      out.append(text, pos, 2);
    }
    pos += 2;
  }
  return out;
}

std::int32_t ParseCount(std::string_view raw) {
  const std::string text = FoldFullWidth(raw);
  std::size_t pos = 0;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Accumulate the magnitude, stopping it just past the 32-bit range so that a long run of
  // digits cannot overflow.
  constexpr std::int64_t kBeyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
  std::int64_t value = 0;
  for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > kBeyond) value = kBeyond;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

}  // namespace quillora
