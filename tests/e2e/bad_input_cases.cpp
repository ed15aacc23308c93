// Bad inputs through the real window and the real settings file: config.ini files that are
// damaged, odd or unusable, count texts that are no sensible number, and phrase boxes at their
// extremes. Every row starts a fresh copy of the program, clicks generate, closes it and checks
// the exit code and what config.ini holds afterwards.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "tests/e2e/cases.h"
#include "tests/e2e/program_checks.h"

namespace e2e {

namespace {

using namespace std::string_literals;  // "..."s keeps the NUL bytes inside a literal

using BoxTexts = std::vector<std::pair<std::string, std::string>>;

// The boxes that config.ini remembers.
const char* const kSavedBoxes[] = {kPrefixBox, kConnectorBox, kSuffixBox, kCountBox};

// What a GBK text becomes on its way into an edit control and back: a lone lead byte is no
// character, so the conversion to UTF-16 turns it into something else.
std::string ThroughWideControl(std::string_view gbk) {
  return Gbk(Wide(gbk));
}

// The last bytes of a text in hex, for notes about what a lone lead byte turned into.
std::string TailBytes(std::string_view bytes) {
  std::string out;
  for (std::size_t i = bytes.size() > 3 ? bytes.size() - 3 : 0; i < bytes.size(); ++i) {
    char hex[8];
    std::snprintf(hex, sizeof hex, " %02X", static_cast<unsigned char>(bytes[i]));
    out += hex;
  }
  return out.empty() ? " (nothing)" : out;
}

// The section the program writes into a file that has none: the three lists and the count.
std::string SavedSection(std::string_view prefixes, std::string_view connectors,
                         std::string_view suffixes, std::string_view count) {
  return "[编辑框]\r\n"s + kPrefixBox + "=" + Stored(prefixes) + "\r\n" + kConnectorBox + "=" +
         Stored(connectors) + "\r\n" + kSuffixBox + "=" + Stored(suffixes) + "\r\n" + kCountBox +
         "=" + Stored(count) + "\r\n";
}

std::string DefaultSection() {
  return SavedSection(LayoutText(kPrefixBox), LayoutText(kConnectorBox), LayoutText(kSuffixBox),
                      LayoutText(kCountBox));
}

// Checks all six edit boxes: the listed ones hold the given texts, the others their layout
// texts.
void CheckAllBoxes(const App& app, const std::string& when, const BoxTexts& listed) {
  for (const std::string& box : EditBoxes()) {
    std::string expected = LayoutText(box);
    for (const auto& [name, text] : listed) {
      if (name == box) expected = text;
    }
    CheckBytes(Show(box) + " " + when, expected, app.Text(box));
  }
}

BoxTexts SavedBoxTexts(const App& app) {
  BoxTexts texts;
  for (const char* box : kSavedBoxes) texts.emplace_back(box, app.Text(box));
  return texts;
}

// An empty box gives the empty phrase, just as a list of one empty line does.
std::string AsList(const std::string& box_text) {
  return box_text.empty() ? "\r\n" : box_text;
}

// Clicks generate and checks that the result holds `count` headlines made of the lines of
// the phrase boxes as they are after the click (a non-empty event replaces the connectors).
void GenerateAndCheck(const App& app, const std::string& what, int count) {
  app.Click(kGenerateButton);
  CheckHeadlines(what, app.Text(kResultBox), count, AsList(app.Text(kPrefixBox)),
                 AsList(app.Text(kConnectorBox)), AsList(app.Text(kSuffixBox)));
}

// Checks that closing left nothing beside the program but config.ini (no half-written
// "config.ini.tmp", say).
void CheckFolderHoldsOnlyProgramAndSettings(const TempDir& dir, const std::string& when) {
  for (const std::wstring& name : FilesIn(dir.path())) {
    Check(name == L"quillora.exe" || name == L"config.ini",
          "the program's folder holds " + Show(Gbk(name)) + " " + when);
  }
}

// ---- config.ini -----------------------------------------------------------------------------

enum class FileKind { kFile, kReadOnlyFile, kDirectory };

struct ConfigRow {
  std::string label;  // ASCII, also names the temporary folder
  FileKind kind;
  std::string before;  // the file's bytes (kFile, kReadOnlyFile)
  BoxTexts restored;   // boxes that do not show their layout text after the start
  int headlines;       // what a click makes with the restored boxes
  BoxTexts edits;      // typed in after the click, before the close
  std::string after;   // the file's bytes after the close (kFile)
};

// Lines of random-looking bytes (NUL and lead bytes among them) with lead bytes that lack
// their trail placed before a line break, before '=' and before ']'. No line is empty and none
// holds CR or LF.
std::vector<std::string> JunkLines() {
  std::uint32_t state = 20240607;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<unsigned char>(state >> 24);
  };
  std::vector<std::string> lines;
  for (int i = 0; i < 60; ++i) {
    std::string line;
    const int length = 1 + next() % 90;
    for (int k = 0; k < length; ++k) {
      unsigned char c = next();
      if (c == '\r' || c == '\n') c = 0;
      line += static_cast<char>(c);
    }
    if (i % 3 == 0) line += "\x81";                  // a lead byte right before the break
    if (i % 7 == 0) line.insert(0, "["s + "\xFE]");  // a header whose ']' is a trail byte
    if (i % 5 == 0) line += "\x81=\0"s;
    lines.push_back(line);
  }
  lines.push_back("\xA0"s + "\0"s + "\xFE");  // the last line: a lone lead byte, no break
  return lines;
}

ConfigRow BinaryJunkRow() {
  const std::vector<std::string> lines = JunkLines();
  // The lines end in turn with CR LF, a lone LF and a lone CR; the last one with nothing.
  const char* const breaks[] = {"\r\n", "\n", "\r"};
  std::string before, normalised;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const bool last = i + 1 == lines.size();
    before += lines[i] + (last ? "" : breaks[i % 3]);
    normalised += lines[i] + "\r\n";
  }
  // Every line kept, each ended by CR LF; a blank line, then the program's own section.
  return {"junk", FileKind::kFile, before, {}, 10, {}, normalised + "\r\n" + DefaultSection()};
}

ConfigRow NoSectionHeaderRow() {
  // Keys before any section belong to none: the program's section is not there.
  const std::string before = "编辑框_前缀=顶上的前缀\r\n编辑框_标题数=3\r\n; 注释\r\n";
  return {"no-header", FileKind::kFile, before, {}, 10, {}, before + "\r\n" + DefaultSection()};
}

ConfigRow SectionTwiceRow() {
  const std::string second =
      "[编辑框]\r\n"
      "编辑框_前缀=第二节的前缀\r\n"
      "编辑框_后缀=第二节的后缀\r\n"
      "编辑框_标题数=9\r\n";
  const std::string before =
      "[编辑框]\r\n"
      "编辑框_前缀=第一节的前缀\r\n"
      "编辑框_标题数=2\r\n"
      "\r\n"
      "[其他]\r\n"
      "键=值\r\n"
      "\r\n" +
      second;
  // The first section is updated in place; the missing keys go after its last filled line.
  const std::string after =
      "[编辑框]\r\n"
      "编辑框_前缀=改过的前缀\r\n"
      "编辑框_标题数=2\r\n"s +
      kConnectorBox + "=" + Stored(LayoutText(kConnectorBox)) + "\r\n" + kSuffixBox + "=" +
      Stored(LayoutText(kSuffixBox)) +
      "\r\n"
      "\r\n"
      "[其他]\r\n"
      "键=值\r\n"
      "\r\n" +
      second;
  const BoxTexts restored = {{kPrefixBox, "第一节的前缀"}, {kCountBox, "2"}};
  const BoxTexts edits = {{kPrefixBox, "改过的前缀"}};
  return {"twice", FileKind::kFile, before, restored, 2, edits, after};
}

ConfigRow FiveMegabyteValueRow() {
  std::string stored;
  for (int i = 1; stored.size() < (std::size_t{5} << 20); ++i) {
    stored += "第" + std::to_string(i) + "条：一个很长的前缀列表里的一行><br><";
  }
  stored += "最后一行";
  const std::string before = "[编辑框]\r\n编辑框_前缀=" + stored + "\r\n";
  return {"five-mb",
          FileKind::kFile,
          before,
          {{kPrefixBox, Replace(stored, "><br><", "\r\n")}},
          10,
          {},
          before + kConnectorBox + "=" + Stored(LayoutText(kConnectorBox)) + "\r\n" + kSuffixBox +
              "=" + Stored(LayoutText(kSuffixBox)) + "\r\n" + kCountBox + "=" +
              LayoutText(kCountBox) + "\r\n"};
}

ConfigRow NulBytesRow() {
  // A window text ends at its first NUL: the boxes get what comes before it. The event box
  // is read but never written, so its line stays whole; the prefix line is written back with
  // what its box holds.
  const std::string other = "[其他]\r\n键\0名=值\0尾\r\n; 注释\0里的零\r\n"s;
  const std::string before =
      "[编辑框]\r\n编辑框1=事件\0后半段\r\n"
      "编辑框_前缀=甲前缀\0藏在零后面\r\n"
      "编辑框_后缀=后缀一><br><后缀二\r\n"s +
      other;
  const std::string after =
      "[编辑框]\r\n编辑框1=事件\0后半段\r\n"
      "编辑框_前缀=甲前缀\r\n"
      "编辑框_后缀=后缀一><br><后缀二\r\n"
      "编辑框_衔接=事件\r\n"s +
      kCountBox + "=" + LayoutText(kCountBox) + "\r\n" + other;
  const BoxTexts restored = {
      {kEventBox, "事件"}, {kPrefixBox, "甲前缀"}, {kSuffixBox, "后缀一\r\n后缀二"}};
  return {"nul", FileKind::kFile, before, restored, 10, {}, after};
}

ConfigRow LoneLeadBytesRow() {
  // Values that end in a lead byte without its trail, the last one without a line break.
  const std::string suffixes = "后缀一><br><后缀二\x81";
  const std::string before = "[编辑框]\r\n编辑框_后缀=" + suffixes + "\r\n编辑框_标题数=5\xFE";
  const std::string suffix_box = ThroughWideControl(Replace(suffixes, "><br><", "\r\n"));
  const std::string count_box = ThroughWideControl("5\xFE");
  return {"lone-lead",
          FileKind::kFile,
          before,
          {{kSuffixBox, suffix_box}, {kCountBox, count_box}},
          5,
          {},
          "[编辑框]\r\n"s + kSuffixBox + "=" + Stored(suffix_box) + "\r\n" + kCountBox + "=" +
              count_box + "\r\n" + kPrefixBox + "=" + Stored(LayoutText(kPrefixBox)) + "\r\n" +
              kConnectorBox + "=" + Stored(LayoutText(kConnectorBox)) + "\r\n"};
}

ConfigRow ReadOnlyRow() {
  return {"read-only",
          FileKind::kReadOnlyFile,
          "[编辑框]\r\n编辑框_前缀=只读的前缀一><br><只读的前缀二\r\n编辑框_标题数=3\r\n",
          {{kPrefixBox, "只读的前缀一\r\n只读的前缀二"}, {kCountBox, "3"}},
          3,
          {{kSuffixBox, "存不下的后缀"}},
          {}};
}

ConfigRow DirectoryRow() {
  return {"directory", FileKind::kDirectory, {}, {}, 10, {{kSuffixBox, "存不下的后缀"}}, {}};
}

// The file (or directory) after a close: what the row expects, and for an unwritable file
// still read-only and unchanged.
void CheckConfigAfterClose(const TempDir& dir, const ConfigRow& row, const std::string& when) {
  const std::wstring path = dir.File(L"config.ini");
  const DWORD attributes = GetFileAttributesW(path.c_str());
  switch (row.kind) {
    case FileKind::kFile:
      CheckBytes("config.ini " + when, row.after, ReadFileBytes(path).value_or("(unreadable)"));
      break;
    case FileKind::kReadOnlyFile:
      CheckBytes("read-only config.ini " + when, row.before,
                 ReadFileBytes(path).value_or("(unreadable)"));
      Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY),
            "config.ini is no longer read-only " + when);
      break;
    case FileKind::kDirectory:
      Check(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY),
            "config.ini is no longer a directory " + when);
      Check(FilesIn(path).empty(), "something was written into the directory config.ini " + when);
      break;
  }
  CheckFolderHoldsOnlyProgramAndSettings(dir, when);
}

void RunConfigRow(const ConfigRow& row) {
  std::printf("config.ini: %s\n", row.label.c_str());
  std::fflush(stdout);
  const std::string where = "[" + row.label + "] ";
  TempDir dir(row.label);
  const std::wstring path = dir.File(L"config.ini");
  if (row.kind == FileKind::kDirectory) {
    if (!CreateDirectoryW(path.c_str(), nullptr)) Fail(where + "cannot make the directory");
  } else {
    WriteFileBytes(path, row.before);
    if (row.kind == FileKind::kReadOnlyFile &&
        !SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY)) {
      Fail(where + "cannot make config.ini read-only");
    }
  }

  BoxTexts at_close;
  {
    App app(dir);
    CheckAllBoxes(app, where + "at the first start", row.restored);
    GenerateAndCheck(app, where + "click", row.headlines);
    for (const auto& [box, text] : row.edits) app.SetText(box, text);
    at_close = SavedBoxTexts(app);
    CloseAndCheckExitCode(app);
  }
  CheckConfigAfterClose(dir, row, where + "after the first close");

  // A second start reads what the first close left: the saved boxes as they were at the
  // close, or, where nothing could be written, as the first start restored them.
  {
    App app(dir);
    BoxTexts expected = row.restored;
    if (row.kind == FileKind::kFile) {
      for (auto& saved : at_close) expected.push_back(saved);
    }
    CheckAllBoxes(app, where + "at the second start", expected);
    CloseAndCheckExitCode(app);
  }
  CheckConfigAfterClose(dir, row, where + "after the second close");
}

// ---- The boxes: count texts and phrase lists --------------------------------------------------

struct BoxRow {
  std::string label;
  BoxTexts typed;  // set through WM_SETTEXT, in this order
  int headlines;
  std::function<void(const std::string& result)> check_result = nullptr;  // beyond the usual
};

// Sets the boxes, checks what they hold, clicks generate and closes; config.ini (absent
// before) then holds exactly what the boxes held.
void RunBoxRow(const BoxRow& row) {
  std::printf("boxes: %s\n", row.label.c_str());
  std::fflush(stdout);
  const std::string where = "[" + row.label + "] ";
  TempDir dir("boxes");
  BoxTexts at_close;
  {
    App app(dir);
    for (const auto& [box, text] : row.typed) {
      app.SetText(box, text);
      const std::string held = app.Text(box);
      CheckBytes(where + Show(box) + " after WM_SETTEXT", ThroughWideControl(text), held);
      if (held != text) {
        std::printf("note: %s: typed bytes ending%s, the box holds bytes ending%s\n",
                    row.label.c_str(), TailBytes(text).c_str(), TailBytes(held).c_str());
      }
    }
    GenerateAndCheck(app, where + "click", row.headlines);
    if (row.check_result) row.check_result(app.Text(kResultBox));
    at_close = SavedBoxTexts(app);
    CloseAndCheckExitCode(app);
  }
  const std::string& p = at_close[0].second;
  const std::string& c = at_close[1].second;
  const std::string& s = at_close[2].second;
  const std::string& n = at_close[3].second;
  CheckBytes(where + "config.ini after the close", SavedSection(p, c, s, n),
             ReadFileBytes(dir.File(L"config.ini")).value_or("(missing)"));
  CheckFolderHoldsOnlyProgramAndSettings(dir, where + "after the close");
}

std::string NumberedLines(std::string_view stem, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += std::string(stem) + std::to_string(i) + (i < count ? "\r\n" : "");
  }
  return text;
}

// A draw is a number below 2^15, so however long the list, no pick goes past line 32 768.
void CheckNoPickPastLine32768(const std::string& result) {
  const std::size_t stem = std::string_view("前缀第").size();
  int highest = 0;
  for (const std::string& line : Lines(result)) {
    highest = std::max(highest, std::atoi(line.c_str() + std::min(stem, line.size())));
  }
  Check(highest <= 32768,
        "a pick from 40 000 lines went past line 32 768: line " + std::to_string(highest));
}

void RunConfigRows(std::initializer_list<ConfigRow> rows) {
  for (const ConfigRow& row : rows) {
    const ULONGLONG start = GetTickCount64();
    RunConfigRow(row);
    std::printf("  %s took %.1f s\n", row.label.c_str(), (GetTickCount64() - start) / 1000.0);
  }
}

}  // namespace

void BadConfigContents(const Args&) {
  RunConfigRows({BinaryJunkRow(), NoSectionHeaderRow(), SectionTwiceRow(), NulBytesRow(),
                 LoneLeadBytesRow()});
}

void BadConfigLargeValue(const Args&) {
  RunConfigRows({FiveMegabyteValueRow()});
}

void BadConfigUnwritable(const Args&) {
  RunConfigRows({ReadOnlyRow(), DirectoryRow()});
}

void BadCounts(const Args&) {
  // 10^9999 is a multiple of 2^32: a reader that wrapped around instead of clamping would
  // read 0 and make nothing.
  const std::string huge = "1" + std::string(9999, '0');
  const std::vector<BoxRow> rows = {
      {"10 000 digits", {{kCountBox, huge}}, 100000},
      {"-0", {{kCountBox, "-0"}}, 0},
      {"+", {{kCountBox, "+"}}, 0},
      {"lone lead byte", {{kCountBox, "\x81"}}, 0},
      {"digit and lone lead byte", {{kCountBox, "7\xFE"}}, 7},
  };
  for (const BoxRow& row : rows) RunBoxRow(row);
}

void BadPhraseBoxes(const Args&) {
  const std::vector<BoxRow> rows = {
      {"empty prefix box", {{kPrefixBox, ""}, {kCountBox, "20"}}, 20},
      {"all three boxes empty",
       {{kPrefixBox, ""}, {kConnectorBox, ""}, {kSuffixBox, ""}, {kCountBox, "5"}},
       5},
      {"connector box only CR LF", {{kConnectorBox, "\r\n"}, {kCountBox, "20"}}, 20},
      {"suffix box ends in a lone lead byte",
       {{kSuffixBox, "后缀一\r\n后缀二\x81"}, {kCountBox, "20"}},
       20},
      {"prefix box of 40 000 lines",
       {{kPrefixBox, NumberedLines("前缀第", 40000)}, {kCountBox, "100"}},
       100,
       CheckNoPickPastLine32768},
  };
  for (const BoxRow& row : rows) RunBoxRow(row);
}

}  // namespace e2e
