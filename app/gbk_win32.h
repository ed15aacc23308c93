// Converting between the program's GBK texts and the UTF-16 of the wide Windows functions.
// Code page 936 is named explicitly, so the window shows its texts right whatever the
// system's ANSI code page is.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

inline constexpr unsigned kGbkCodePage = 936;

std::wstring WideFromGbk(std::string_view text);
std::string GbkFromWide(std::wstring_view text);

}  // namespace quillora
