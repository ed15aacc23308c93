// Picking phrases and making headlines: the work behind the generate button.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "generator/random.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/form.h"

namespace quillora {

// A click makes at most this many headlines; a larger count makes this many. It keeps one
// click well under a few seconds and the result box at a size the edit control handles.
inline constexpr std::int32_t kMaxHeadlinesPerClick = 100000;

// Nor does a click make more text than this: headlines that would pass it are left out. Only
// absurd phrases (lines of megabytes) come near it; it keeps such a click from exhausting
// memory or freezing the window while the result box lays out the text.
inline constexpr std::size_t kMaxResultBytes = std::size_t{16} << 20;

// Re-seeds the generator and picks one of the lines; a list with no line gives the empty
// phrase (an empty phrase box leaves its field of the headline empty).
std::string_view PickLine(const std::vector<std::string_view>& lines, RandomGenerator& rng,
                          Clock& clock);

// Cuts the list into lines and returns a copy of one picked at random.
std::string PickRandomLine(std::string_view list, RandomGenerator& rng, Clock& clock);

// `count` headline lines, each prefix "," connector "," suffix CR LF; a count of 0 or less
// makes none. Stops early rather than let the text pass `max_bytes`.
std::string MakeHeadlines(const std::vector<std::string_view>& prefixes,
                          const std::vector<std::string_view>& connectors,
                          const std::vector<std::string_view>& suffixes, std::int32_t count,
                          RandomGenerator& rng, Clock& clock,
                          std::size_t max_bytes = kMaxResultBytes);

// The generate command: empties the result box, reads the count once, puts a non-empty event
// into the connector box, writes the headlines into the result box and copies the result to
// the clipboard.
void GenerateHeadlines(Form& form, Clock& clock, Clipboard& clipboard, RandomGenerator& rng);

// The restore command: puts the built-in lists back into the three phrase boxes.
void RestoreDefaultLists(Form& form);

}  // namespace quillora
