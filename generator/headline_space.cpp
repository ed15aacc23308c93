#include "generator/headline_space.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <numeric>
#include <unordered_set>
#include <utility>

namespace quillora {

namespace {

constexpr std::uint64_t kMaxCount = std::uint64_t{1} << 63;

// a * b, or false when it passes kMaxCount.
bool MultiplyWithin(std::uint64_t a, std::uint64_t b, std::uint64_t& product) {
  if (a != 0 && b > kMaxCount / a) return false;
  product = a * b;
  return product <= kMaxCount;
}

bool HasComma(std::string_view s) { return s.find(',') != std::string_view::npos; }

// 1 - (1 - q)^n without losing the small q.
double ChanceAtLeastOnce(double q, double n) { return -std::expm1(n * std::log1p(-q)); }

}  // namespace

std::string_view HeadlineSpace::Distinct::Text(std::uint32_t d) const {
  return (*lines)[first_line[d]];
}

HeadlineSpace::Distinct HeadlineSpace::MakeDistinct(const std::vector<std::string>& lines) {
  Distinct d;
  d.lines = &lines;
  d.line_count = lines.size();
  d.index.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto next = static_cast<std::uint32_t>(d.first_line.size());
    const auto [it, added] = d.index.emplace(lines[i], next);
    if (added) {
      d.first_line.push_back(static_cast<std::uint32_t>(i));
      d.multiplicity.push_back(1);
      (HasComma(lines[i]) ? d.with_comma : d.plain).push_back(next);
    } else {
      ++d.multiplicity[it->second];
    }
  }
  return d;
}

HeadlineSpace::HeadlineSpace(const std::vector<std::string>& prefixes,
                             const std::vector<std::string>& connectors,
                             const std::vector<std::string>& suffixes)
    : p_(MakeDistinct(prefixes)), c_(MakeDistinct(connectors)), s_(MakeDistinct(suffixes)) {}

ListFigures HeadlineSpace::Figures(const std::vector<std::string>& lines) {
  ListFigures f;
  f.lines = lines.size();
  std::unordered_set<std::string_view> seen;
  for (const std::string& line : lines) {
    if (line.empty()) ++f.empty_lines;
    if (!seen.insert(line).second) ++f.repeated_lines;
  }
  f.distinct = seen.size();
  return f;
}

std::uint64_t HeadlineSpace::PlainTriples(bool* overflow) const {
  std::uint64_t pc = 0, pcs = 0;
  const bool ok = MultiplyWithin(p_.plain.size(), c_.plain.size(), pc) &&
                  MultiplyWithin(pc, s_.plain.size(), pcs);
  if (overflow) *overflow = !ok;
  return ok ? pcs : 0;
}

std::optional<std::uint64_t> HeadlineSpace::CommaTriples() const {
  std::uint64_t pc = 0, all = 0;
  if (!MultiplyWithin(p_.Size(), c_.Size(), pc) || !MultiplyWithin(pc, s_.Size(), all)) {
    return std::nullopt;
  }
  return all - PlainTriples(nullptr);
}

void HeadlineSpace::WalkCommaTriples(
    const std::function<void(std::uint32_t, std::uint32_t, std::uint32_t)>& visit) const {
  const auto all_s = static_cast<std::uint32_t>(s_.Size());
  for (std::uint32_t p = 0; p < p_.Size(); ++p) {
    const bool p_comma = HasComma(p_.Text(p));
    for (std::uint32_t c = 0; c < c_.Size(); ++c) {
      if (p_comma || HasComma(c_.Text(c))) {
        for (std::uint32_t s = 0; s < all_s; ++s) visit(p, c, s);
      } else {
        for (std::uint32_t s : s_.with_comma) visit(p, c, s);
      }
    }
  }
}

bool HeadlineSpace::IsCanonical(std::uint32_t p, std::uint32_t c, std::uint32_t s) const {
  const std::string_view pt = p_.Text(p), ct = c_.Text(c), st = s_.Text(s);
  if (!HasComma(pt) && !HasComma(ct) && !HasComma(st)) return true;
  std::string text;
  text.reserve(pt.size() + ct.size() + st.size() + 2);
  text.append(pt).append(",").append(ct).append(",").append(st);
  const std::string_view t = text;
  const std::size_t own_i = pt.size(), own_j = pt.size() + 1 + ct.size();
  for (std::size_t i = t.find(','); i <= own_i; i = t.find(',', i + 1)) {
    if (p_.index.count(t.substr(0, i)) == 0) continue;
    for (std::size_t j = t.find(',', i + 1); j != std::string_view::npos; j = t.find(',', j + 1)) {
      if (i == own_i && j >= own_j) break;
      if (c_.index.count(t.substr(i + 1, j - i - 1)) != 0 && s_.index.count(t.substr(j + 1)) != 0) {
        return false;
      }
    }
  }
  return true;
}

std::optional<std::uint64_t> HeadlineSpace::DistinctHeadlines(std::uint64_t walk_limit) const {
  bool overflow = false;
  const std::uint64_t plain = PlainTriples(&overflow);
  const std::optional<std::uint64_t> comma = CommaTriples();
  if (overflow || !comma || *comma > walk_limit) return std::nullopt;
  std::uint64_t canonical = 0;
  if (*comma > 0) {
    WalkCommaTriples([&](std::uint32_t p, std::uint32_t c, std::uint32_t s) {
      if (IsCanonical(p, c, s)) ++canonical;
    });
  }
  return plain + canonical;
}

std::optional<double> HeadlineSpace::ExpectedRepeats(std::uint64_t count,
                                                     std::uint64_t walk_limit) const {
  const std::optional<std::uint64_t> comma = CommaTriples();
  if (!comma || *comma > walk_limit) return std::nullopt;
  const double n = static_cast<double>(count);
  const double all_lines = static_cast<double>(p_.line_count) *
                           static_cast<double>(c_.line_count) *
                           static_cast<double>(s_.line_count);
  // Texts from triples without a comma phrase are made by that triple alone: group those by
  // the multiplicities of their phrases, which repeat a lot.
  auto classes = [](const Distinct& d) {
    std::map<std::uint32_t, double> by_multiplicity;
    for (std::uint32_t i : d.plain) by_multiplicity[d.multiplicity[i]] += 1;
    return by_multiplicity;
  };
  double expected_distinct = 0;
  for (const auto& [a, na] : classes(p_)) {
    for (const auto& [b, nb] : classes(c_)) {
      for (const auto& [c, nc] : classes(s_)) {
        const double q = static_cast<double>(a) * b * c / all_lines;
        expected_distinct += na * nb * nc * ChanceAtLeastOnce(q, n);
      }
    }
  }
  // A text made by several triples is as likely as all of them together.
  if (*comma > 0) {
    WalkCommaTriples([&](std::uint32_t p, std::uint32_t c, std::uint32_t s) {
      if (!IsCanonical(p, c, s)) return;
      std::string text;
      text.append(p_.Text(p)).append(",").append(c_.Text(c)).append(",").append(s_.Text(s));
      const std::string_view t = text;
      double weight = 0;
      for (std::size_t i = t.find(','); i != std::string_view::npos; i = t.find(',', i + 1)) {
        const auto pi = p_.index.find(t.substr(0, i));
        if (pi == p_.index.end()) continue;
        for (std::size_t j = t.find(',', i + 1); j != std::string_view::npos;
             j = t.find(',', j + 1)) {
          const auto ci = c_.index.find(t.substr(i + 1, j - i - 1));
          const auto si = s_.index.find(t.substr(j + 1));
          if (ci == c_.index.end() || si == s_.index.end()) continue;
          weight += static_cast<double>(p_.multiplicity[pi->second]) *
                    c_.multiplicity[ci->second] * s_.multiplicity[si->second];
        }
      }
      expected_distinct += ChanceAtLeastOnce(weight / all_lines, n);
    });
  }
  return std::max(0.0, n - expected_distinct);
}

LineTriple HeadlineSpace::Lines(std::uint32_t p, std::uint32_t c, std::uint32_t s) const {
  return {p_.first_line[p], c_.first_line[c], s_.first_line[s]};
}

std::optional<std::uint64_t> HeadlineSpace::PickDistinct(
    std::uint64_t count, Pcg32& rng, const std::function<void(const LineTriple&)>& emit,
    std::uint64_t walk_limit) const {
  const std::optional<std::uint64_t> distinct = DistinctHeadlines(walk_limit);
  if (!distinct) {
    // Far more headlines than anyone asks for: draw triples and skip repeats and texts that
    // another triple makes. Bounded all the same.
    std::unordered_set<std::string> seen;
    const std::uint64_t budget = 64 * count + (std::uint64_t{1} << 20);
    std::uint64_t emitted = 0;
    for (std::uint64_t attempt = 0; attempt < budget && emitted < count; ++attempt) {
      const std::uint32_t p = rng.Below(static_cast<std::uint32_t>(p_.Size()));
      const std::uint32_t c = rng.Below(static_cast<std::uint32_t>(c_.Size()));
      const std::uint32_t s = rng.Below(static_cast<std::uint32_t>(s_.Size()));
      if (!IsCanonical(p, c, s)) continue;
      std::string key(12, '\0');
      const std::uint32_t parts[3] = {p, c, s};
      for (int k = 0; k < 3; ++k) {
        for (int b = 0; b < 4; ++b) key[k * 4 + b] = static_cast<char>(parts[k] >> (8 * b));
      }
      if (!seen.insert(std::move(key)).second) continue;
      emit(Lines(p, c, s));
      ++emitted;
    }
    return std::nullopt;
  }

  const std::uint64_t total = *distinct;
  const std::uint64_t k = std::min(count, total);
  // A random ordered k-subset of the ranks 0..total-1: the first k steps of a Fisher-Yates
  // shuffle, over a whole array when most ranks are taken, else over a map of moved entries.
  std::vector<std::uint64_t> ranks;
  if (k >= total / 2) {
    ranks.resize(total);
    std::iota(ranks.begin(), ranks.end(), std::uint64_t{0});
    for (std::uint64_t i = 0; i < k; ++i) std::swap(ranks[i], ranks[i + rng.Below64(total - i)]);
    ranks.resize(k);
  } else {
    ranks.reserve(k);
    std::unordered_map<std::uint64_t, std::uint64_t> moved;
    moved.reserve(2 * k);
    auto at = [&moved](std::uint64_t i) {
      const auto it = moved.find(i);
      return it == moved.end() ? i : it->second;
    };
    for (std::uint64_t i = 0; i < k; ++i) {
      const std::uint64_t j = i + rng.Below64(total - i);
      const std::uint64_t vj = at(j);
      moved[j] = at(i);
      ranks.push_back(vj);
    }
  }

  // Ranks below `plain` are triples without a comma phrase, in mixed-radix order; the rest
  // count canonical comma triples in walking order.
  const std::uint64_t plain = PlainTriples(nullptr);
  std::vector<std::pair<std::uint64_t, std::size_t>> wanted;  // comma rank, place in output
  for (std::size_t i = 0; i < ranks.size(); ++i) {
    if (ranks[i] >= plain) wanted.emplace_back(ranks[i] - plain, i);
  }
  std::vector<LineTriple> resolved(wanted.size());
  if (!wanted.empty()) {
    std::sort(wanted.begin(), wanted.end());
    std::size_t next = 0;
    std::uint64_t rank = 0;
    WalkCommaTriples([&](std::uint32_t p, std::uint32_t c, std::uint32_t s) {
      if (next == wanted.size() || !IsCanonical(p, c, s)) return;
      if (wanted[next].first == rank) resolved[next++] = Lines(p, c, s);
      ++rank;
    });
    // Back in output order.
    std::vector<std::size_t> slot(ranks.size(), 0);
    for (std::size_t w = 0; w < wanted.size(); ++w) slot[wanted[w].second] = w;
    const std::uint64_t nc = c_.plain.size(), ns = s_.plain.size();
    for (std::size_t i = 0; i < ranks.size(); ++i) {
      if (ranks[i] >= plain) {
        emit(resolved[slot[i]]);
      } else {
        const std::uint64_t r = ranks[i];
        emit(Lines(p_.plain[r / (nc * ns)], c_.plain[(r / ns) % nc], s_.plain[r % ns]));
      }
    }
    return total;
  }
  const std::uint64_t nc = c_.plain.size(), ns = s_.plain.size();
  for (const std::uint64_t r : ranks) {
    emit(Lines(p_.plain[r / (nc * ns)], c_.plain[(r / ns) % nc], s_.plain[r % ns]));
  }
  return total;
}

}  // namespace quillora
