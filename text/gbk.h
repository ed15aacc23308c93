// GBK text helpers. A text is a std::string of GBK bytes; a byte of 0x80 or above starts a
// double-byte character together with the byte after it. Every scanner in the program steps
// through texts with CharLength, so nothing is ever found or cut inside a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillora::text {

inline bool IsLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

// Length in bytes of the character that starts at `pos`: 2 for a lead byte that has a byte
// after it, 1 otherwise (a lone lead byte at the very end counts as one character).
inline std::size_t CharLength(std::string_view s, std::size_t pos) {
  return (IsLeadByte(s[pos]) && pos + 1 < s.size()) ? 2 : 1;
}

// Position of the first occurrence of `needle` that begins at a character start at or after
// `from` (which must itself be a character start), or npos. An empty needle is never found.
std::size_t FindAtCharStart(std::string_view haystack, std::string_view needle,
                            std::size_t from = 0);

inline bool ContainsAtCharStart(std::string_view haystack, std::string_view needle) {
  return FindAtCharStart(haystack, needle) != std::string_view::npos;
}

// Replaces every occurrence of `from` that begins at a character start, left to right,
// never overlapping. An empty `from` leaves the text unchanged.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// Position of the last `c` (an ASCII byte) that stands at a character start, or npos.
std::size_t FindLastCharAtCharStart(std::string_view s, char c);

}  // namespace quillora::text
