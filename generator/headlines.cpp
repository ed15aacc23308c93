#include "generator/headlines.h"

#include <algorithm>

#include "generator/control_names.h"
#include "generator/count.h"
#include "generator/default_lists.h"
#include "generator/lines.h"

namespace quillora {

std::string_view PickLine(const std::vector<std::string_view>& lines, RandomGenerator& rng,
                          Clock& clock) {
  ReseedGenerator(rng, clock);
  if (lines.empty()) return {};
  const auto n = static_cast<std::int32_t>(std::min<std::size_t>(lines.size(), INT32_MAX));
  return lines[static_cast<std::size_t>(RandomBetween(rng, 1, n) - 1)];
}

std::string PickRandomLine(std::string_view list, RandomGenerator& rng, Clock& clock) {
  return std::string(PickLine(SplitLines(list), rng, clock));
}

namespace {

std::size_t LongestLine(const std::vector<std::string_view>& lines) {
  std::size_t longest = 0;
  for (auto line : lines) longest = std::max(longest, line.size());
  return longest;
}

}  // namespace

std::string MakeHeadlines(const std::vector<std::string_view>& prefixes,
                          const std::vector<std::string_view>& connectors,
                          const std::vector<std::string_view>& suffixes, std::int32_t count,
                          RandomGenerator& rng, Clock& clock) {
  std::string out;
  if (count <= 0) return out;
  out.reserve(static_cast<std::size_t>(count) *
              (LongestLine(prefixes) + LongestLine(connectors) + LongestLine(suffixes) + 4));
  for (std::int32_t i = 0; i < count; ++i) {
    out += PickLine(prefixes, rng, clock);
    out += ',';
    out += PickLine(connectors, rng, clock);
    out += ',';
    out += PickLine(suffixes, rng, clock);
    out += "\r\n";
  }
  return out;
}

void GenerateHeadlines(Form& form, Clock& clock, Clipboard& clipboard, RandomGenerator& rng) {
  form.SetText(names::kResult, "");
  const std::int32_t count = std::min(ParseCount(form.Text(names::kCount)), kMaxHeadlinesPerClick);
  if (count > 0) {
    // Nothing else runs while the command does, so the boxes read once hold for every
    // headline; the event replaces the connector list as it would at every pass.
    const std::string event = form.Text(names::kEvent);
    if (!event.empty()) form.SetText(names::kConnectorList, event);
    const std::string prefixes = form.Text(names::kPrefixList);
    const std::string connectors = form.Text(names::kConnectorList);
    const std::string suffixes = form.Text(names::kSuffixList);
    form.AppendText(names::kResult, MakeHeadlines(SplitLines(prefixes), SplitLines(connectors),
                                                  SplitLines(suffixes), count, rng, clock));
  }
  clipboard.PutText(form.Text(names::kResult));
}

void RestoreDefaultLists(Form& form) {
  form.SetText(names::kPrefixList, kDefaultPrefixList);
  form.SetText(names::kConnectorList, kDefaultConnectorList);
  form.SetText(names::kSuffixList, kDefaultSuffixList);
}

}  // namespace quillora
