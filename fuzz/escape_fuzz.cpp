// EscapeBoxText and UnescapeBoxText on any bytes: the stored form never holds a line break,
// and every text an edit box can hold comes back unchanged.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "settings/edit_boxes.h"
#include "text/gbk.h"

namespace {

bool IsTrailByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// An edit box hands over well-formed GBK: every lead byte is followed by a trail byte (CR, LF
// and '>' are none), except that the text may end in a lone lead byte. The stored form does not
// escape the tokens themselves, so two kinds of text do not come back: one holding a token at
// a character start (a typed token is read as its line break), and one where the first four
// bytes of a token stand right before a line break, since "><br" followed by the "><" that
// begins the break's token reads as a token too.
bool ComesBackUnchanged(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size(); pos += quillora::text::CharLength(text, pos)) {
    if (quillora::text::IsLeadByte(text[pos]) && pos + 1 < text.size() &&
        !IsTrailByte(text[pos + 1])) {
      return false;
    }
    for (std::string_view token : {"><br><", "><cr><", "><lf><"}) {
      if (text.compare(pos, token.size(), token) == 0) return false;
      const std::size_t head = token.size() - 2;
      if (text.compare(pos, head, token, 0, head) == 0 && pos + head < text.size() &&
          (text[pos + head] == '\r' || text[pos + head] == '\n')) {
        return false;
      }
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::string stored = quillora::EscapeBoxText(text);
  FUZZ_CHECK(stored.find_first_of("\r\n") == std::string::npos);
  if (ComesBackUnchanged(text)) FUZZ_CHECK(quillora::UnescapeBoxText(stored) == text);

  // Any stored text, including a hand-edited one, is read without a fault; what comes back is
  // never longer, since every token is longer than its line break.
  FUZZ_CHECK(quillora::UnescapeBoxText(text).size() <= text.size());
  return 0;
}
