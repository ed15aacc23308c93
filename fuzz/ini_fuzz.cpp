// The INI reader and writer on any bytes, NUL bytes and lone lead bytes included: reading never
// faults, what is written reads back the same, and setting one key changes no other value.
//
// Input: section, key and value for one Set, each ended by a backslash and one more byte (a
// doubled backslash stands for itself), then the file's bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "settings/ini.h"
#include "text/gbk.h"

namespace {

using quillora::IniDocument;
using quillora::text::CharLength;
using quillora::text::IsLeadByte;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsTrailByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0x40 && b <= 0xFE && b != 0x7F;
}

// Well-formed GBK without line breaks: the texts a window hands to the writer.
bool IsWellFormedLine(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) {
    if (s[pos] == '\r' || s[pos] == '\n') return false;
    if (IsLeadByte(s[pos]) && (pos + 1 >= s.size() || !IsTrailByte(s[pos + 1]))) return false;
  }
  return true;
}

// Names the writer can put into a header or key line and find again: no blanks at either end
// (the reader drops them), and a key holds no '=' and does not look like a comment or header.
bool IsWritableSection(std::string_view s) {
  return IsWellFormedLine(s) && (s.empty() || (!IsBlank(s.front()) && !IsBlank(s.back())));
}

bool IsWritableKey(std::string_view k) {
  return IsWritableSection(k) && k.find('=') == std::string_view::npos &&
         (k.empty() || (k.front() != ';' && k.front() != '['));
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether the reader takes the two names for the same one: characters equal, ASCII letters in
// either case, double-byte characters byte for byte.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t pos = 0; pos < a.size(); pos += CharLength(a, pos)) {
    if (CharLength(a, pos) != CharLength(b, pos)) return false;
    if (CharLength(a, pos) == 1 ? AsciiLower(a[pos]) != AsciiLower(b[pos])
                                : a.compare(pos, 2, b, pos, 2) != 0) {
      return false;
    }
  }
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

void AddName(std::vector<std::string>& names, std::string_view name) {
  if (names.size() < 8 && std::find(names.begin(), names.end(), name) == names.end()) {
    names.emplace_back(name);
  }
}

// A rough guess at the section and key names in the file. It only chooses what to ask for;
// the answers come from the reader under test.
void GuessNames(std::string_view file, std::vector<std::string>& sections,
                std::vector<std::string>& keys) {
  std::size_t start = 0;
  while (start <= file.size()) {
    std::size_t end = file.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = file.size();
    const std::string_view line = Trim(file.substr(start, end - start));
    if (!line.empty() && line.front() == '[') {
      const std::size_t close = line.rfind(']');
      if (close != std::string_view::npos) AddName(sections, Trim(line.substr(1, close - 1)));
    }
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos) AddName(keys, Trim(line.substr(0, eq)));
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider provider(data, size);
  std::string section = provider.ConsumeRandomLengthString(64);
  std::string key = provider.ConsumeRandomLengthString(64);
  std::string value = provider.ConsumeRandomLengthString(256);
  const std::string file = provider.ConsumeRemainingBytesAsString();

  const IniDocument doc = IniDocument::Parse(file);
  const std::string written = doc.Serialize();
  const IniDocument reread = IniDocument::Parse(written);
  FUZZ_CHECK(reread.Serialize() == written);

  std::vector<std::string> sections;
  std::vector<std::string> keys;
  AddName(sections, section);
  AddName(keys, key);
  GuessNames(file, sections, keys);
  for (const std::string& s : sections) {
    for (const std::string& k : keys) FUZZ_CHECK(reread.Get(s, k) == doc.Get(s, k));
  }

  // A line break in a name or value would end the line; callers escape values and the names
  // are the program's own. Drop them here so that Set runs on any file and any names.
  for (std::string* text : {&section, &key, &value}) {
    text->erase(std::remove_if(text->begin(), text->end(),
                               [](char c) { return c == '\r' || c == '\n'; }),
                text->end());
  }
  IniDocument changed = doc;
  changed.Set(section, key, value);
  const IniDocument changed_reread = IniDocument::Parse(changed.Serialize());
  FUZZ_CHECK(changed_reread.Serialize() == changed.Serialize());

  if (!IsWritableSection(section) || !IsWritableKey(key) || !IsWellFormedLine(value)) return 0;
  FUZZ_CHECK(changed.Get(section, key) == value);
  FUZZ_CHECK(changed_reread.Get(section, key) == value);
  for (const std::string& s : sections) {
    for (const std::string& k : keys) {
      if (SameName(s, section) && SameName(k, key)) continue;
      FUZZ_CHECK(changed_reread.Get(s, k) == doc.Get(s, k));
    }
  }
  return 0;
}
