// quillora-cli's readers of list files and settings files on any bytes. A list file read in
// any encoding either gives lines of well-formed UTF-8 without line breaks or says which line
// is wrong; read as UTF-8, a well-formed file's lines joined again give the file. The lists of
// a settings file come out the same way, or with a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "generator/phrase_lists.h"
#include "text/utf8.h"

namespace {

void CheckList(const quillora::PhraseList& list) {
  for (const std::string& line : list.lines) {
    FUZZ_CHECK(quillora::text::IsValidUtf8(line));
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
  }
}

// Every line break (CR LF, LF or a lone CR) as LF, without a final one.
std::string NormalisedLines(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  if (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  using quillora::InputEncoding;
  for (const InputEncoding encoding :
       {InputEncoding::kAuto, InputEncoding::kGbk, InputEncoding::kUtf8}) {
    std::string error;
    const auto list = quillora::DecodeListFile(bytes, encoding, "input", error);
    if (!list) {
      FUZZ_CHECK(error.rfind("input, line ", 0) == 0);
      continue;
    }
    CheckList(*list);
    std::string_view body = bytes;
    quillora::text::StripUtf8Bom(body);
    if (encoding == InputEncoding::kUtf8 && quillora::text::IsValidUtf8(body)) {
      std::string joined;
      for (std::size_t i = 0; i < list->lines.size(); ++i) {
        if (i > 0) joined += '\n';
        joined += list->lines[i];
      }
      FUZZ_CHECK(joined == NormalisedLines(body));
    }
  }

  const quillora::SettingsLists settings = quillora::ReadSettingsLists(bytes);
  for (const auto* text : {&settings.prefixes, &settings.connectors, &settings.suffixes}) {
    if (!*text) continue;
    std::string error;
    const auto list = quillora::DecodeWindowList(**text, "config.ini", error);
    if (list) CheckList(*list);
    else FUZZ_CHECK(!error.empty());
  }
  return 0;
}
