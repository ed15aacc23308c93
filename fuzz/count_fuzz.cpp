// ParseCount and FoldFullWidth on any bytes: no crash, no read outside the text, and a count
// that agrees with the C library's own reading of the folded text.
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "generator/count.h"
#include "text/gbk.h"

namespace {

// strtoll reads white space, one sign and decimal digits just as the count box does; it stops
// at a NUL byte, which is no digit for ParseCount either.
std::int32_t ReferenceCount(const std::string& folded) {
  errno = 0;
  const long long value = std::strtoll(folded.c_str(), nullptr, 10);
  if (value > std::numeric_limits<std::int32_t>::max()) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value < std::numeric_limits<std::int32_t>::min()) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}

bool HasLeadByte(std::string_view s) {
  for (char c : s) {
    if (quillora::text::IsLeadByte(c)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  const std::string folded = quillora::FoldFullWidth(input);
  FUZZ_CHECK(folded.size() <= input.size());
  // Folding keeps characters whole and drops only a lone lead byte at the very end, so the
  // result never ends in one and folding it again changes nothing.
  if (!folded.empty()) {
    std::size_t last = 0;
    for (std::size_t pos = 0; pos < folded.size(); pos += quillora::text::CharLength(folded, pos)) {
      last = pos;
    }
    FUZZ_CHECK(quillora::text::CharLength(folded, last) == 2 ||
               !quillora::text::IsLeadByte(folded[last]));
  }
  FUZZ_CHECK(quillora::FoldFullWidth(folded) == folded);
  if (!HasLeadByte(input)) FUZZ_CHECK(folded == input);

  const std::int32_t count = quillora::ParseCount(input);
  FUZZ_CHECK(count == quillora::ParseCount(folded));
  FUZZ_CHECK(count == ReferenceCount(folded));
  return 0;
}
