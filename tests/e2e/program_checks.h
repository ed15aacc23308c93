// What the cases expect of quillora.exe, shared by the window cases and the settings cases:
// its control names, headlines, clipboard, settings file and a clean close.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/e2e/harness.h"

namespace e2e {

// Control names of the main window (GBK, like the program's own).
inline constexpr char kRestoreButton[] = "按钮1";
inline constexpr char kEventBox[] = "编辑框1";
inline constexpr char kPrefixBox[] = "编辑框_前缀";
inline constexpr char kConnectorBox[] = "编辑框_衔接";
inline constexpr char kSuffixBox[] = "编辑框_后缀";
inline constexpr char kCountBox[] = "编辑框_标题数";
inline constexpr char kGenerateButton[] = "按钮_生成";
inline constexpr char kResultBox[] = "编辑框_结果";

inline constexpr char kSection[] = "编辑框";

// The six edit boxes in layout order.
const std::vector<std::string>& EditBoxes();

// The text a control starts with, from the layout table.
std::string LayoutText(std::string_view control);

// Checks that `result` holds exactly `count` headlines, each "prefix,connector,suffix" and a
// CR LF, with each field a line of the matching list text.
void CheckHeadlines(std::string_view what, std::string_view result, int count,
                    std::string_view prefixes, std::string_view connectors,
                    std::string_view suffixes);

// Checks that the clipboard holds `text` (GBK) as CF_TEXT bytes and the same text as
// CF_UNICODETEXT.
void CheckClipboardHolds(std::string_view what, std::string_view text);

// A box text as the settings file stores it: every CR LF as "><br><".
std::string Stored(std::string_view text);

// The lines of config.ini beside the program, blank lines left out; nothing when the file is
// missing.
std::optional<std::vector<std::string>> ConfigLines(const TempDir& dir);

// The raw value of `key` on its "key=value" line, or nothing.
std::optional<std::string> RawValue(const std::vector<std::string>& lines, std::string_view key);

// Closes the window through the system menu's Close command and checks for exit code 0.
void CloseAndCheckExitCode(App& app);

}  // namespace e2e
