// SplitLines and PickRandomLine on any bytes: the lines put back together with CR LF give the
// text again, every line lies inside the text, and a pick is always one of the lines.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "generator/headlines.h"
#include "generator/lines.h"
#include "generator/random.h"
#include "platform/clock.h"

namespace {

class FixedClock : public quillora::Clock {
 public:
  explicit FixedClock(std::uint32_t tick) : tick_(tick) {}
  std::uint32_t TickCount() override { return tick_++; }

 private:
  std::uint32_t tick_;
};

std::uint32_t ReadWord(std::string_view s, std::size_t pos) {
  std::uint32_t word = 0;
  if (pos + sizeof word <= s.size()) std::memcpy(&word, s.data() + pos, sizeof word);
  return word;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string_view> lines = quillora::SplitLines(text);

  FUZZ_CHECK(lines.empty() == text.empty());
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    FUZZ_CHECK(lines[i].data() >= text.data());
    FUZZ_CHECK(lines[i].data() + lines[i].size() <= text.data() + text.size());
    if (i > 0) joined += "\r\n";
    joined.append(lines[i]);
  }
  FUZZ_CHECK(joined == text || joined + "\r\n" == text);

  // The clock and the generator's state come from the text itself, so the fuzzer steers the
  // picks as well; three picks in a row move the re-seed offset on between them.
  quillora::RandomGenerator rng;
  rng.reseed_offset = ReadWord(text, text.size() >= 4 ? text.size() - 4 : 0);
  FixedClock clock(ReadWord(text, 0));
  for (int round = 0; round < 3; ++round) {
    const std::string picked = quillora::PickRandomLine(text, rng, clock);
    if (lines.empty()) {
      FUZZ_CHECK(picked.empty());
      continue;
    }
    bool found = false;
    for (std::string_view line : lines) found = found || line == picked;
    FUZZ_CHECK(found);
  }
  return 0;
}
