// The built-in phrase lists: the phrase boxes' texts when the window is built, and what the
// restore button puts back. GBK, lines separated by CR LF, none after the last line.
#pragma once

#include <string_view>

namespace quillora {

extern const std::string_view kDefaultPrefixList;
extern const std::string_view kDefaultConnectorList;
extern const std::string_view kDefaultSuffixList;

}  // namespace quillora
