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

// One phrase list made ready for many picks. Picks exactly as PickLine does: re-seed, then
// line 1 + (draw modulo n), with no draw for a list of one line.
class PhrasePicker {
 public:
  explicit PhrasePicker(const std::vector<std::string_view>& lines)
      : lines_(lines),
        count_(static_cast<std::uint32_t>(std::min<std::size_t>(lines.size(), INT32_MAX))),
        divisor_(std::max<std::uint32_t>(count_, 1)) {}

  std::string_view Pick(RandomGenerator& rng, Clock& clock) const {
    ReseedGenerator(rng, clock);
    if (count_ <= 1) return count_ == 0 ? std::string_view() : lines_[0];
    return lines_[divisor_.Remainder(Draw(rng))];
  }

 private:
  const std::vector<std::string_view>& lines_;
  std::uint32_t count_;
  DrawDivisor divisor_;
};

std::size_t LongestLine(const std::vector<std::string_view>& lines) {
  std::size_t longest = 0;
  for (auto line : lines) longest = std::max(longest, line.size());
  return longest;
}

}  // namespace

std::string MakeHeadlines(const std::vector<std::string_view>& prefixes,
                          const std::vector<std::string_view>& connectors,
                          const std::vector<std::string_view>& suffixes, std::int32_t count,
                          RandomGenerator& rng, Clock& clock, std::size_t max_bytes) {
  std::string out;
  if (count <= 0) return out;
  const std::size_t longest =
      LongestLine(prefixes) + LongestLine(connectors) + LongestLine(suffixes) + 4;
  const auto headlines = static_cast<std::size_t>(count);
  out.reserve(longest <= max_bytes / headlines ? longest * headlines : max_bytes);
  const PhrasePicker prefix(prefixes), connector(connectors), suffix(suffixes);
  for (std::size_t i = 0; i < headlines; ++i) {
    const std::string_view p = prefix.Pick(rng, clock);
    const std::string_view c = connector.Pick(rng, clock);
    const std::string_view s = suffix.Pick(rng, clock);
    if (p.size() + c.size() + s.size() + 4 > max_bytes - out.size()) break;
    out += p;
    out += ',';
    out += c;
    out += ',';
    out += s;
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
