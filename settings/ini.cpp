#include "settings/ini.h"

#include <cstddef>

#include "text/gbk.h"

namespace quillora {
namespace {

using text::CharLength;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Drops blanks and tabs at both ends. A blank is a one-byte character, so at the end only a
// blank that stands at a character start is dropped.
std::string_view TrimBlanks(std::string_view s) {
  std::size_t begin = 0;
  while (begin < s.size() && IsBlank(s[begin])) ++begin;
  s.remove_prefix(begin);
  std::size_t end = 0;  // one past the last character that is not a blank
  for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) {
    const std::size_t len = CharLength(s, pos);
    if (len != 1 || !IsBlank(s[pos])) end = pos + len;
  }
  return s.substr(0, end);
}

// Start of the last character of a non-empty text.
std::size_t LastCharStart(std::string_view s) {
  std::size_t last = 0;
  for (std::size_t pos = 0; pos < s.size(); pos += CharLength(s, pos)) last = pos;
  return last;
}

// Names match when their characters match, ASCII letters in either case. A double-byte
// character is compared byte for byte: its second byte may be an ASCII letter's code.
bool NamesEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t pos = 0; pos < a.size();) {
    const std::size_t len = CharLength(a, pos);
    if (len != CharLength(b, pos)) return false;
    if (len == 1) {
      if (AsciiLower(a[pos]) != AsciiLower(b[pos])) return false;
    } else if (a.compare(pos, len, b, pos, len) != 0) {
      return false;
    }
    pos += len;
  }
  return true;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// Whether the text is wrapped in one pair of matching quotes that the reader would strip.
bool IsWrappedInQuotes(std::string_view v) {
  if (v.size() < 2 || !IsQuote(v[0])) return false;
  const std::size_t last = LastCharStart(v);
  return last == v.size() - 1 && v[last] == v[0];
}

struct ParsedLine {
  enum class Kind { kOther, kSection, kKey } kind = Kind::kOther;
  std::string_view name;
  std::string_view value;       // trimmed, quotes not yet stripped
  std::size_t value_start = 0;  // where a key line's value begins, blanks after '=' skipped
};

ParsedLine ParseLine(std::string_view line) {
  ParsedLine parsed;
  const std::string_view t = TrimBlanks(line);
  if (t.empty() || t[0] == ';') return parsed;
  if (t[0] == '[') {
    const std::size_t close = text::FindLastCharAtCharStart(t, ']');
    if (close != std::string_view::npos) {
      parsed.kind = ParsedLine::Kind::kSection;
      parsed.name = TrimBlanks(t.substr(1, close - 1));
      return parsed;
    }
    // A '[' without its ']' opens no section; the line may still be a key.
  }
  const std::size_t eq = text::FindAtCharStart(t, "=");
  if (eq == std::string_view::npos) return parsed;
  parsed.kind = ParsedLine::Kind::kKey;
  parsed.name = TrimBlanks(t.substr(0, eq));
  std::size_t value_start = static_cast<std::size_t>(t.data() - line.data()) + eq + 1;
  while (value_start < line.size() && IsBlank(line[value_start])) ++value_start;
  parsed.value_start = value_start;
  parsed.value = TrimBlanks(line.substr(value_start));
  return parsed;
}

// The value as it goes into the file: wrapped in double quotes when the reader would
// otherwise trim or unquote it.
std::string EncodeValue(std::string_view value) {
  const bool needs_quotes =
      !value.empty() && (IsBlank(value[0]) ||
                         (CharLength(value, LastCharStart(value)) == 1 &&
                          IsBlank(value[LastCharStart(value)])) ||
                         IsWrappedInQuotes(value));
  if (!needs_quotes) return std::string(value);
  std::string out;
  out.reserve(value.size() + 2);
  out += '"';
  out.append(value);
  out += '"';
  return out;
}

std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += EncodeValue(value);
  return line;
}

}  // namespace

IniDocument IniDocument::Parse(std::string_view bytes) {
  // CR and LF are never the second byte of a GBK character, so lines are cut byte by byte.
  IniDocument doc;
  std::size_t start = 0;
  std::size_t i = 0;
  while (i < bytes.size()) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      ++i;
      continue;
    }
    doc.lines_.emplace_back(bytes.substr(start, i - start));
    i += (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
    start = i;
  }
  if (start < bytes.size()) doc.lines_.emplace_back(bytes.substr(start));
  return doc;
}

std::optional<std::string> IniDocument::Get(std::string_view section,
                                            std::string_view key) const {
  bool in_section = false;
  for (const std::string& line : lines_) {
    const ParsedLine parsed = ParseLine(line);
    if (parsed.kind == ParsedLine::Kind::kSection) {
      if (in_section) break;  // only the first matching section counts
      in_section = NamesEqual(parsed.name, section);
    } else if (in_section && parsed.kind == ParsedLine::Kind::kKey &&
               NamesEqual(parsed.name, key)) {
      std::string_view value = parsed.value;
      if (IsWrappedInQuotes(value)) value = value.substr(1, value.size() - 2);
      return std::string(value);
    }
  }
  return std::nullopt;
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::size_t header = lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const ParsedLine parsed = ParseLine(lines_[i]);
    if (parsed.kind == ParsedLine::Kind::kSection && NamesEqual(parsed.name, section)) {
      header = i;
      break;
    }
  }

  if (header == lines_.size()) {
    if (!lines_.empty() && !TrimBlanks(lines_.back()).empty()) lines_.emplace_back();
    std::string header_line = "[";
    header_line.append(section);
    header_line += ']';
    lines_.push_back(std::move(header_line));
    lines_.push_back(KeyLine(key, value));
    return;
  }

  std::size_t last_filled = header;  // the new key goes after the section's last non-blank line
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    const ParsedLine parsed = ParseLine(lines_[i]);
    if (parsed.kind == ParsedLine::Kind::kSection) break;
    if (parsed.kind == ParsedLine::Kind::kKey && NamesEqual(parsed.name, key)) {
      // Keep the key's own spelling and spacing; replace only the value.
      lines_[i] = lines_[i].substr(0, parsed.value_start) + EncodeValue(value);
      return;
    }
    if (!TrimBlanks(lines_[i]).empty()) last_filled = i;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last_filled + 1),
                KeyLine(key, value));
}

std::string IniDocument::Serialize() const {
  std::string out;
  for (const std::string& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

}  // namespace quillora
