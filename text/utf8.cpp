#include "text/utf8.h"

#include <cstdio>

namespace quillora::text {

namespace {

unsigned char Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool IsContinuation(std::string_view s, std::size_t i) {
  return i < s.size() && (Byte(s, i) & 0xC0u) == 0x80u;
}

// Length of the well-formed sequence at `pos`, or 0.
std::size_t SequenceLength(std::string_view s, std::size_t pos) {
  const unsigned b = Byte(s, pos);
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return IsContinuation(s, pos + 1) ? 2 : 0;
  if (b >= 0xE0 && b <= 0xEF) {
    if (!IsContinuation(s, pos + 1) || !IsContinuation(s, pos + 2)) return 0;
    const unsigned b1 = Byte(s, pos + 1);
    if (b == 0xE0 && b1 < 0xA0) return 0;   // overlong
    if (b == 0xED && b1 >= 0xA0) return 0;  // surrogate
    return 3;
  }
  if (b >= 0xF0 && b <= 0xF4) {
    if (!IsContinuation(s, pos + 1) || !IsContinuation(s, pos + 2) ||
        !IsContinuation(s, pos + 3)) {
      return 0;
    }
    const unsigned b1 = Byte(s, pos + 1);
    if (b == 0xF0 && b1 < 0x90) return 0;  // overlong
    if (b == 0xF4 && b1 >= 0x90) return 0;  // beyond U+10FFFF
    return 4;
  }
  return 0;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  std::size_t pos = 0;
  while (pos < s.size()) {
    const std::size_t n = SequenceLength(s, pos);
    if (n == 0) return false;
    pos += n;
  }
  return true;
}

CodePoint DecodeUtf8At(std::string_view s, std::size_t pos) {
  const std::size_t n = SequenceLength(s, pos);
  if (n <= 1) return {Byte(s, pos), 1};
  std::uint32_t value = Byte(s, pos) & (0x7Fu >> n);
  for (std::size_t i = 1; i < n; ++i) value = (value << 6) | (Byte(s, pos + i) & 0x3Fu);
  return {value, n};
}

void AppendUtf8(std::uint32_t code_point, std::string& out) {
  const std::uint32_t cp = code_point;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string CodePointName(std::uint32_t code_point) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U+%04X", static_cast<unsigned>(code_point));
  return buffer;
}

bool StripUtf8Bom(std::string_view& s) {
  if (s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF") {
    s.remove_prefix(3);
    return true;
  }
  return false;
}

}  // namespace quillora::text
