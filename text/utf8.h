// UTF-8 helpers for the command line tool, whose texts are Unicode (UTF-8 bytes) so that a list
// may hold what GBK cannot.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quillora::text {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool IsValidUtf8(std::string_view s);

// The code point that starts at `pos` of a valid UTF-8 text, and its length in bytes.
struct CodePoint {
  std::uint32_t value;
  std::size_t length;
};
CodePoint DecodeUtf8At(std::string_view s, std::size_t pos);

// Appends the UTF-8 form of a code point.
void AppendUtf8(std::uint32_t code_point, std::string& out);

// "U+4E2D" (four hex digits at least).
std::string CodePointName(std::uint32_t code_point);

// The text without a leading UTF-8 byte-order mark; whether there was one.
bool StripUtf8Bom(std::string_view& s);

}  // namespace quillora::text
