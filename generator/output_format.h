// How the command line tool writes a headline: plain text as the window joins it
// ("prefix,connector,suffix"), CSV with a header row (RFC 4180 quoting) or JSON Lines.
//
// Phrases are escaped once, before the first headline: a headline line is then only the
// concatenation of three ready pieces, whatever the format.
#pragma once

#include <string>
#include <string_view>

namespace quillora {

enum class OutputFormat { kText, kCsv, kJsonl };

// A phrase as it stands in a field of the format: unchanged for text, quoted when it must be
// for CSV, the inside of a JSON string (without the quotes) for JSON Lines.
std::string EscapePhrase(std::string_view phrase, OutputFormat format);

// What comes before the first headline: the CSV header row, else nothing.
std::string OutputHeader(OutputFormat format, std::string_view line_end);

// Appends one headline from three escaped pieces.
void AppendHeadline(std::string& out, OutputFormat format, std::string_view prefix,
                    std::string_view connector, std::string_view suffix,
                    std::string_view line_end);

}  // namespace quillora
