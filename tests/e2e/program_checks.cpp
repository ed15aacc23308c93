#include "tests/e2e/program_checks.h"

#include <algorithm>

#include "app/layout.h"

namespace e2e {

const std::vector<std::string>& EditBoxes() {
  static const std::vector<std::string> boxes = {kEventBox,  kPrefixBox, kConnectorBox,
                                                 kSuffixBox, kCountBox,  kResultBox};
  return boxes;
}

std::string LayoutText(std::string_view control) {
  return std::string(quillora::layout::Controls()[LayoutIndex(control)].initial_text);
}

namespace {

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t comma = line.find(',', pos);
    fields.emplace_back(line.substr(pos, comma == std::string_view::npos ? comma : comma - pos));
    if (comma == std::string_view::npos) return fields;
    pos = comma + 1;
  }
}

bool Contains(const std::vector<std::string>& lines, const std::string& field) {
  return std::find(lines.begin(), lines.end(), field) != lines.end();
}

}  // namespace

void CheckHeadlines(std::string_view what, std::string_view result, int count,
                    std::string_view prefixes, std::string_view connectors,
                    std::string_view suffixes) {
  const std::string where(what);
  const std::vector<std::string> lines = Lines(result);
  Check(static_cast<int>(lines.size()) == count,
        where + ": expected " + std::to_string(count) + " headlines, got " +
            std::to_string(lines.size()) + " in " + Show(result));
  if (count > 0) {
    Check(result.size() >= 2 && result.substr(result.size() - 2) == "\r\n",
          where + ": the last headline does not end with CR LF");
  }
  const std::vector<std::string> lists[3] = {Lines(prefixes), Lines(connectors), Lines(suffixes)};
  const char* const list_names[3] = {"prefix", "connector", "suffix"};
  int reported = 0;
  for (std::size_t i = 0; i < lines.size() && reported < 3; ++i) {
    const std::vector<std::string> fields = Fields(lines[i]);
    if (fields.size() != 3) {
      Check(false, where + ": headline " + std::to_string(i + 1) + " " + Show(lines[i]) +
                       " does not have three comma-separated fields");
      ++reported;
      continue;
    }
    for (int f = 0; f < 3; ++f) {
      if (!Contains(lists[f], fields[f])) {
        Check(false, where + ": headline " + std::to_string(i + 1) + ": " + Show(fields[f]) +
                         " is not a line of the " + list_names[f] + " box");
        ++reported;
      }
    }
  }
}

void CheckClipboardHolds(std::string_view what, std::string_view text) {
  const std::string where(what);
  const std::optional<std::string> ansi = ClipboardText();
  Check(ansi.has_value(), where + ": no CF_TEXT on the clipboard");
  if (ansi) CheckBytes(where + ": CF_TEXT on the clipboard", text, *ansi);
  const std::optional<std::wstring> unicode = ClipboardUnicodeText();
  Check(unicode.has_value(), where + ": no CF_UNICODETEXT on the clipboard");
  if (unicode) {
    Check(*unicode == Wide(text), where + ": CF_UNICODETEXT on the clipboard is " +
                                      Show(Gbk(*unicode)) + ", not the text " + Show(text));
  }
}

std::string Stored(std::string_view text) {
  return Replace(text, "\r\n", "><br><");
}

std::optional<std::vector<std::string>> ConfigLines(const TempDir& dir) {
  const std::optional<std::string> bytes = ReadFileBytes(dir.File(L"config.ini"));
  if (!bytes) return std::nullopt;
  std::vector<std::string> lines;
  for (std::string& line : Lines(*bytes)) {
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<std::string> RawValue(const std::vector<std::string>& lines, std::string_view key) {
  const std::string start = std::string(key) + "=";
  for (const std::string& line : lines) {
    if (line.compare(0, start.size(), start) == 0) return line.substr(start.size());
  }
  return std::nullopt;
}

void CloseAndCheckExitCode(App& app) {
  PostMessageW(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0);
  const DWORD code = app.WaitForExit();
  Check(code == 0, "exit code after closing: expected 0, got " + std::to_string(code));
}

}  // namespace e2e
