#include "generator/output_format.h"

#include <cstdio>

namespace quillora {

namespace {

std::string QuoteCsv(std::string_view phrase) {
  if (phrase.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(phrase);
  std::string out = "\"";
  for (char c : phrase) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string EscapeJson(std::string_view phrase) {
  std::string out;
  out.reserve(phrase.size());
  for (char c : phrase) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20 || u == 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(u));
          out += buffer;
        } else {
          out += c;
        }
    }
  }
  return out;
}

// prefix "," connector "," suffix: the headline as the window joins it.
void AppendJoined(std::string& out, std::string_view prefix, std::string_view connector,
                  std::string_view suffix) {
  out += prefix;
  out += ',';
  out += connector;
  out += ',';
  out += suffix;
}

}  // namespace

std::string EscapePhrase(std::string_view phrase, OutputFormat format) {
  switch (format) {
    case OutputFormat::kCsv: return QuoteCsv(phrase);
    case OutputFormat::kJsonl: return EscapeJson(phrase);
    case OutputFormat::kText: break;
  }
  return std::string(phrase);
}

std::string OutputHeader(OutputFormat format, std::string_view line_end) {
  if (format != OutputFormat::kCsv) return {};
  return "prefix,connector,suffix" + std::string(line_end);
}

void AppendHeadline(std::string& out, OutputFormat format, std::string_view prefix,
                    std::string_view connector, std::string_view suffix,
                    std::string_view line_end) {
  if (format == OutputFormat::kJsonl) {
    out += "{\"prefix\":\"";
    out += prefix;
    out += "\",\"connector\":\"";
    out += connector;
    out += "\",\"suffix\":\"";
    out += suffix;
    // The headline's escaped form is the escaped pieces joined: escaping works per character
    // and leaves the commas alone.
    out += "\",\"headline\":\"";
    AppendJoined(out, prefix, connector, suffix);
    out += "\"}";
  } else {
    AppendJoined(out, prefix, connector, suffix);
  }
  out += line_end;
}

}  // namespace quillora
