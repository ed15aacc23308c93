// Converting between GBK (code page 936) and UTF-8 with the platform's own converter: iconv's
// CP936 on Linux, code page 936 on Windows. One header, two twins in text/platform/.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillora::text {

// GBK bytes to UTF-8. False when the bytes are no valid GBK; `bad_offset` then tells where the
// first bad byte is (as near as the converter says).
bool GbkToUtf8(std::string_view gbk, std::string& utf8, std::size_t* bad_offset = nullptr);

// Valid UTF-8 to GBK. False when a character has no GBK form; `bad_offset` then is the byte
// offset in `utf8` of the first such character. Never a silent replacement character.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t* bad_offset = nullptr);

}  // namespace quillora::text
