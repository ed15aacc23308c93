#include "generator/phrase_lists.h"

#include "generator/control_names.h"
#include "generator/lines.h"
#include "settings/edit_boxes.h"
#include "settings/ini.h"
#include "text/encoding.h"
#include "text/utf8.h"

namespace quillora {

namespace {

std::size_t LineOfOffset(std::string_view text, std::size_t offset) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

}  // namespace

std::vector<std::string_view> CutListFileLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos < text.size(); ++pos) {
    if (text[pos] != '\r' && text[pos] != '\n') continue;
    lines.push_back(text.substr(start, pos - start));
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
    start = pos + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::optional<PhraseList> DecodeListFile(std::string_view bytes, InputEncoding encoding,
                                         const std::string& origin, std::string& error) {
  const bool had_bom = text::StripUtf8Bom(bytes);
  std::string utf8;
  // CR and LF never occur inside a GBK or UTF-8 character, so the text converts as a whole
  // and is cut afterwards.
  bool as_utf8 = encoding == InputEncoding::kUtf8 ||
                 (encoding == InputEncoding::kAuto && (had_bom || text::IsValidUtf8(bytes)));
  if (as_utf8) {
    if (!text::IsValidUtf8(bytes)) {
      std::size_t pos = 0;
      while (pos < bytes.size()) {
        const std::size_t n = text::DecodeUtf8At(bytes, pos).length;
        if (!text::IsValidUtf8(bytes.substr(pos, n))) break;
        pos += n;
      }
      error = origin + ", line " + std::to_string(LineOfOffset(bytes, pos)) + ": not valid UTF-8";
      return std::nullopt;
    }
    utf8.assign(bytes);
  } else {
    std::size_t bad = 0;
    if (!text::GbkToUtf8(bytes, utf8, &bad)) {
      error = origin + ", line " + std::to_string(LineOfOffset(bytes, bad)) + ": not valid GBK";
      return std::nullopt;
    }
  }
  PhraseList list{origin, {}};
  for (std::string_view line : CutListFileLines(utf8)) list.lines.emplace_back(line);
  return list;
}

std::optional<PhraseList> DecodeWindowList(std::string_view gbk_text, const std::string& origin,
                                           std::string& error) {
  PhraseList list{origin, {}};
  // Cut first, as the window does: its cutting steps over GBK characters.
  for (std::string_view line : SplitLines(gbk_text)) {
    std::string utf8;
    if (!text::GbkToUtf8(line, utf8)) {
      error = origin + ", line " + std::to_string(list.lines.size() + 1) + ": not valid GBK";
      return std::nullopt;
    }
    list.lines.push_back(std::move(utf8));
  }
  return list;
}

SettingsLists ReadSettingsLists(std::string_view ini_bytes) {
  const IniDocument doc = IniDocument::Parse(ini_bytes);
  auto read = [&doc](const char* key) -> std::optional<std::string> {
    std::optional<std::string> value = doc.Get(kSettingsSection, key);
    if (!value || value->empty()) return std::nullopt;
    return UnescapeBoxText(*value);
  };
  return {read(names::kPrefixList), read(names::kConnectorList), read(names::kSuffixList)};
}

}  // namespace quillora
