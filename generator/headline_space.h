// What three phrase lists can make: their distinct phrases, the distinct headline texts, and
// picking headlines without repeats.
//
// A headline is prefix "," connector "," suffix. Lines that repeat in a list count once. When
// no phrase holds a comma, every triple of distinct phrases makes its own text. Phrases with
// commas can make one text from several triples ("a,b" + "c" and "a" + "b,c"); of those
// triples only the canonical one (the shortest prefix, then the shortest connector) counts.
// Canonical triples that hold a comma phrase are found by walking them, and only them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "generator/pcg32.h"

namespace quillora {

// Three line numbers (0-based) into the prefix, connector and suffix lists.
struct LineTriple {
  std::uint32_t prefix, connector, suffix;
};

// What --stats reports of one list.
struct ListFigures {
  std::size_t lines = 0;
  std::size_t distinct = 0;
  std::size_t empty_lines = 0;
  std::size_t repeated_lines = 0;  // lines equal to an earlier line
};

class HeadlineSpace {
 public:
  // The lists must outlive the space. An empty list takes part as one empty phrase, as in the
  // window.
  HeadlineSpace(const std::vector<std::string>& prefixes,
                const std::vector<std::string>& connectors,
                const std::vector<std::string>& suffixes);

  static ListFigures Figures(const std::vector<std::string>& lines);

  // The number of distinct headline texts; nothing when it passes 2^63 or when counting would
  // mean walking more than `walk_limit` triples that hold a comma phrase.
  std::optional<std::uint64_t> DistinctHeadlines(std::uint64_t walk_limit = kWalkLimit) const;

  // Expected number of repeated headlines (count minus the expected number of distinct ones) in
  // a batch of `count` picked line by line uniformly; nothing when the distinct headlines
  // cannot be counted.
  std::optional<double> ExpectedRepeats(std::uint64_t count,
                                        std::uint64_t walk_limit = kWalkLimit) const;

  // Picks min(count, distinct) distinct headline texts, each set equally likely and in
  // random order, and hands each to `emit` as it is known. Returns the number of distinct
  // headlines, or nothing when there are too many to count (it then picks `count` by
  // drawing and skipping repeats, which is only reached when they are far more than asked).
  std::optional<std::uint64_t> PickDistinct(std::uint64_t count, Pcg32& rng,
                                            const std::function<void(const LineTriple&)>& emit,
                                            std::uint64_t walk_limit = kWalkLimit) const;

  // Whether a triple of distinct-phrase indices is the canonical one of its text.
  bool IsCanonical(std::uint32_t p, std::uint32_t c, std::uint32_t s) const;

  static constexpr std::uint64_t kWalkLimit = std::uint64_t{1} << 28;

 private:
  struct Distinct {
    const std::vector<std::string>* lines = nullptr;
    std::vector<std::uint32_t> first_line;   // distinct phrase -> its first line
    std::vector<std::uint32_t> multiplicity;  // distinct phrase -> lines that hold it
    std::vector<std::uint32_t> plain;         // distinct phrases without a comma
    std::vector<std::uint32_t> with_comma;    // distinct phrases with a comma
    std::unordered_map<std::string_view, std::uint32_t> index;  // text -> distinct phrase
    std::size_t line_count = 0;  // lines (at least 1: an empty list is one empty phrase)
    std::string_view Text(std::uint32_t d) const;
    std::size_t Size() const { return first_line.size(); }
  };
  static Distinct MakeDistinct(const std::vector<std::string>& lines);

  // Triples of distinct phrases holding a comma phrase, in a fixed order.
  std::optional<std::uint64_t> CommaTriples() const;
  void WalkCommaTriples(const std::function<void(std::uint32_t, std::uint32_t, std::uint32_t)>&
                            visit) const;
  std::uint64_t PlainTriples(bool* overflow) const;
  LineTriple Lines(std::uint32_t p, std::uint32_t c, std::uint32_t s) const;

  Distinct p_, c_, s_;
};

}  // namespace quillora
