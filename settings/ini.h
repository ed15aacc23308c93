// A reader and writer of the Windows private-profile (INI) format over a whole file's bytes.
//
// The document keeps every line of the file as it was (other sections, keys, comments, blank
// lines); only the lines that Set touches or adds change. Reading follows the platform's own
// reader, so a file written by either side reads the same through the other:
//   - lines end at CR LF, a lone LF or a lone CR; a missing final line break is fine;
//   - blanks and tabs before a line, around section and key names and around a value are
//     dropped; a line starting with ';' is a comment; "[name]" opens a section (anything after
//     the last ']' is ignored); inside a section, "name=value" is a key and a line without '='
//     is nothing;
//   - section and key names match case-insensitively for ASCII letters only; double-byte
//     characters match byte for byte (their second byte may look like an ASCII letter);
//   - one pair of matching quotes (" or ') around a value is stripped;
//   - the first matching section and, in it, the first matching key win;
//   - values have no length limit.
// Every scan steps over double-byte GBK characters as a whole.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

class IniDocument {
 public:
  IniDocument() = default;

  // Splits a file's bytes into lines. Never fails: anything that is not a section header or a
  // key is kept as it stands and ignored.
  static IniDocument Parse(std::string_view bytes);

  // The value of `key` in `section`, as the platform's reader returns it; nothing when the
  // section or the key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // Sets `key` in `section`: the first matching key line gets the new value in place;
  // otherwise a "key=value" line goes after the last non-blank line of the first matching
  // section, or a new section is added at the end of the document. A value that the reader
  // would change (blanks or tabs at either end, or wrapped in a pair of matching quotes) is
  // written inside double quotes so that it reads back exactly. `value` must hold no CR or LF
  // (those would end the line); callers escape them first.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // The whole document, every line ended by CR LF. An empty document is the empty text.
  std::string Serialize() const;

 private:
  std::vector<std::string> lines_;
};

}  // namespace quillora
