// Cutting a list text into its lines.
#pragma once

#include <string_view>
#include <vector>

namespace quillora {

// Cuts at CR LF and at nothing else; a CR LF is only seen at a character start. An empty text
// has no line, a trailing CR LF adds no empty line, a leading or doubled CR LF gives an empty
// line. The views point into `text`.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace quillora
