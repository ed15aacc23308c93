// The three phrase lists of the command line tool, as UTF-8 lines, and where they come from:
// a list file, the window's settings file, an event text or the built-in lists.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillora {

enum class InputEncoding { kAuto, kGbk, kUtf8 };

// One list: its lines in order (line i is line i + 1 of its origin), UTF-8.
struct PhraseList {
  std::string origin;  // a file name, "built-in prefixes", "--event", ...
  std::vector<std::string> lines;
};

// Cuts a list file's text at CR LF, LF or a lone CR. Like the window's cutting, an empty text
// has no line and a final line break adds no empty line.
std::vector<std::string_view> CutListFileLines(std::string_view text);

// A list file's bytes as a list: a UTF-8 byte-order mark is dropped; `kAuto` reads the file as
// UTF-8 when it has the mark or is valid UTF-8, else as GBK. Nothing and a message (naming the
// line) when the bytes are not valid in the encoding.
std::optional<PhraseList> DecodeListFile(std::string_view bytes, InputEncoding encoding,
                                         const std::string& origin, std::string& error);

// A GBK list text as the window holds it (lines separated by CR LF) as a list.
std::optional<PhraseList> DecodeWindowList(std::string_view gbk_text, const std::string& origin,
                                           std::string& error);

// The three list texts (GBK, CR LF) of a settings file, as the window saves them; a key that
// is missing or empty gives nothing, and the window would keep its built-in list then.
struct SettingsLists {
  std::optional<std::string> prefixes, connectors, suffixes;
};
SettingsLists ReadSettingsLists(std::string_view ini_bytes);

}  // namespace quillora
