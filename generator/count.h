// Reading the headline count from the text of the count box.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillora {

// Turns full-width digits, signs and other full-width ASCII forms, the ideographic space, the
// full-width tilde and the two stars into their single-byte forms. A lone lead byte at the end
// is dropped.
std::string FoldFullWidth(std::string_view text);

// Folds the text, then reads a signed decimal number after leading white space: one optional
// sign, then digits up to the first non-digit. No digit reads as 0; values beyond 32 bits are
// clamped to the nearest 32-bit bound.
std::int32_t ParseCount(std::string_view raw);

}  // namespace quillora
