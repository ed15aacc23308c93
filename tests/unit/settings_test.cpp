#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/layout.h"
#include "generator/control_names.h"
#include "generator/default_lists.h"
#include "settings/edit_boxes.h"
#include "settings/ini.h"
#include "settings/paths.h"
#include "tests/unit/fakes.h"

namespace quillora {
namespace {

using testing::FakeFileSystem;
using testing::FakeForm;

// ---- Executable directory and settings paths ------------------------------------------------

TEST(SettingsPath, ExecutableDirectoryIsCutAtTheLastRealBackslash) {
  const struct {
    const char* what;
    std::string module_path, want;
  } cases[] = {
      {"ordinary path", "D:\\Apps\\tool.exe", "D:\\Apps"},
      {"drive root", "C:\\tool.exe", "C:"},
      {"no backslash", "tool.exe", ""},
      {"empty", "", ""},
      {"GBK directory names", "D:\\工具\\标题\\tool.exe", "D:\\工具\\标题"},
      // 0xB1 0x5C is one character whose second byte is the backslash byte.
      {"second byte 0x5C after the last backslash", "C:\\a\\\xB1\x5Ctool.exe", "C:\\a"},
      {"second byte 0x5C before the last backslash", "C:\\\xB1\x5C\\tool.exe", "C:\\\xB1\x5C"},
      {"only a double-byte char ending in 0x5C", "\xB1\x5Ctool.exe", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExecutableDirectoryFromModulePath(c.module_path), c.want) << c.what;
  }
}

TEST(SettingsPath, FilesLieBesideTheExecutable) {
  FakeFileSystem fs;
  EXPECT_EQ(SettingsFilePath("D:\\Apps"), "D:\\Apps\\config.ini");
  EXPECT_EQ(SettingsFilePath("C:"), "C:\\config.ini");
  EXPECT_EQ(DefaultSettingsPath(fs, "C:"), "C:\\data\\setsoft.ini");
  EXPECT_EQ(fs.created, std::vector<std::string>{"C:\\data"});
}

TEST(SettingsPath, DefaultPathCreatesDataOnlyWhenMissing) {
  FakeFileSystem fs;
  fs.directories.insert("D:\\Apps\\data");
  EXPECT_EQ(DefaultSettingsPath(fs, "D:\\Apps"), "D:\\Apps\\data\\setsoft.ini");
  EXPECT_TRUE(fs.created.empty());

  FakeFileSystem empty;
  EXPECT_EQ(DefaultSettingsPath(empty, "D:\\工具"), "D:\\工具\\data\\setsoft.ini");
  EXPECT_EQ(empty.created, std::vector<std::string>{"D:\\工具\\data"});
  EXPECT_TRUE(DirectoryExists(empty, "D:\\工具\\data"));
  EXPECT_TRUE(empty.files.empty());  // the file itself comes with the first save
}

// ---- The escape -----------------------------------------------------------------------------

TEST(SettingsEscape, LineBreaksBecomeTokensAndComeBack) {
  const struct {
    const char* what;
    std::string text, stored;
  } cases[] = {
      {"empty", "", ""},
      {"CR LF", "A\r\nB\r\n", "A><br><B><br><"},
      {"doubled CR LF", "\r\n\r\n", "><br><><br><"},
      {"lone CR", "A\rB", "A><cr><B"},
      {"lone LF", "A\nB", "A><lf><B"},
      {"LF CR is two lone breaks", "\n\r", "><lf><><cr><"},
      {"CR before CR LF", "\r\r\n", "><cr><><br><"},
      {"GBK text", "前缀\r\n衔接", "前缀><br><衔接"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapeBoxText(c.text), c.stored) << c.what;
    EXPECT_EQ(UnescapeBoxText(c.stored), c.text) << c.what;
  }
}

TEST(SettingsEscape, TokensInStoredTextAreReadAsLineBreaks) {
  // A typed token is stored as it is and comes back as a line break.
  EXPECT_EQ(EscapeBoxText("a><br><b"), "a><br><b");
  EXPECT_EQ(UnescapeBoxText("a><br><b><cr><c><lf><"), "a\r\nb\rc\n");
  // Left to right, no overlap; the rest shorter than a token is copied.
  EXPECT_EQ(UnescapeBoxText(">><br><<"), ">\r\n<");
  EXPECT_EQ(UnescapeBoxText("><br"), "><br");
  // 0xB0 0x3E is one character: the '>' inside it starts no token.
  EXPECT_EQ(UnescapeBoxText("\xB0><br><"), "\xB0><br><");
}

TEST(SettingsEscape, StoredTextNeverHoldsALineBreak) {
  // A stray lead byte in front of a line break must not hide the break from the escape.
  for (const std::string text : {"\xB0\r\nX", "\xB0\rX", "\xB0\nX", "x\xB0"}) {
    const std::string stored = EscapeBoxText(text);
    EXPECT_EQ(stored.find_first_of("\r\n"), std::string::npos) << stored;
  }
}

// ---- Exclusion list -------------------------------------------------------------------------

TEST(SettingsExclusion, NameIsLookedUpAtCharacterStartsOfTheList) {
  const struct {
    std::string name;
    bool excluded;
  } cases[] = {
      {"编辑框1", true},       {"编辑框_结果", true}, {"编辑框", true},
      {"结果", true},          {"_结果", true},       {"1", true},
      {"|", true},             {"编辑框10", false},   {"编辑框_前缀", false},
      {"编辑框_标题数", false}, {"编辑框_衔接", false}, {"编辑框_后缀", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsExcluded(c.name, kUnsavedBoxes), c.excluded) << c.name;
  }
  // A piece that starts at the second byte of a character is no match.
  EXPECT_FALSE(IsExcluded("\x8B", "\xB1\x8B"));
  EXPECT_FALSE(IsExcluded("ABC", "abc"));  // byte for byte, so Latin letters keep their case
}

// ---- Saving and restoring -------------------------------------------------------------------

constexpr char kExeDir[] = "D:\\Apps";
constexpr char kConfig[] = "D:\\Apps\\config.ini";

// The main window's 13 controls in layout order, each with its layout text.
FakeForm MainWindow() {
  FakeForm form;
  for (const auto& control : layout::Controls()) {
    form.Add(std::string(control.name), std::string(layout::KindName(control.kind)),
             std::string(control.initial_text));
  }
  return form;
}

void SetBoxTexts(FakeForm& form) {
  form.SetText(names::kEvent, "event");
  form.SetText(names::kPrefixList, "P1\r\nP2");
  form.SetText(names::kConnectorList, "C1\r\nC2\r\n");
  form.SetText(names::kSuffixList, " S1\nS2 ");
  form.SetText(names::kCount, "");
  form.SetText(names::kResult, "R1\r\nR2");
}

TEST(SettingsSaveRestore, FirstSaveWritesTheFourKeysInOrder) {
  FakeForm form = MainWindow();
  SetBoxTexts(form);
  FakeFileSystem fs;
  std::string path = kConfig;
  EXPECT_EQ(SaveEditBoxes(form, path, kUnsavedBoxes, fs, kExeDir), 6);
  EXPECT_EQ(path, kConfig);
  ASSERT_EQ(fs.files.size(), 1u);
  EXPECT_EQ(fs.files[kConfig],
            "[编辑框]\r\n"
            "编辑框_前缀=P1><br><P2\r\n"
            "编辑框_衔接=C1><br><C2><br><\r\n"
            "编辑框_后缀=\" S1><lf><S2 \"\r\n"
            "编辑框_标题数=\r\n");
  EXPECT_TRUE(fs.created.empty());
}

TEST(SettingsSaveRestore, SaveLeavesEverythingElseInTheFile) {
  FakeForm form = MainWindow();
  SetBoxTexts(form);
  FakeFileSystem fs;
  fs.files[kConfig] =
      "; notes\r\n"
      "[其他]\r\n"
      "编辑框_前缀=elsewhere\r\n"
      "[编辑框]\r\n"
      "编辑框1=hand event\r\n"
      "编辑框_结果=hand result\r\n"
      "旧框=unknown\r\n"
      "编辑框_标题数=5\r\n";
  std::string path = kConfig;
  EXPECT_EQ(SaveEditBoxes(form, path, kUnsavedBoxes, fs, kExeDir), 6);
  EXPECT_EQ(fs.files[kConfig],
            "; notes\r\n"
            "[其他]\r\n"
            "编辑框_前缀=elsewhere\r\n"
            "[编辑框]\r\n"
            "编辑框1=hand event\r\n"
            "编辑框_结果=hand result\r\n"
            "旧框=unknown\r\n"
            "编辑框_标题数=\r\n"
            "编辑框_前缀=P1><br><P2\r\n"
            "编辑框_衔接=C1><br><C2><br><\r\n"
            "编辑框_后缀=\" S1><lf><S2 \"\r\n");
}

TEST(SettingsSaveRestore, RestoreFillsBoxesWithNonEmptyValues) {
  FakeForm form = MainWindow();
  FakeFileSystem fs;
  fs.files[kConfig] =
      "[编辑框]\r\n"
      "编辑框1=hand event\r\n"
      "编辑框_结果=R1><br><R2\r\n"
      "编辑框_前缀=P1><br><P2\r\n"
      "编辑框_标题数=\r\n"
      "标签1=not a box\r\n"
      "旧框=unknown\r\n";
  std::string path = kConfig;
  EXPECT_EQ(RestoreEditBoxes(form, path, fs, kExeDir), 6);
  EXPECT_EQ(form.Text(names::kEvent), "hand event");
  EXPECT_EQ(form.Text(names::kResult), "R1\r\nR2");
  EXPECT_EQ(form.Text(names::kPrefixList), "P1\r\nP2");
  EXPECT_EQ(form.Text(names::kCount), "10");  // empty value: the layout text stays
  EXPECT_EQ(form.Text(names::kConnectorList), kDefaultConnectorList);
  EXPECT_EQ(form.Text("标签1"), "标题数：");
  EXPECT_EQ(form.set_text_calls, 3);
}

TEST(SettingsSaveRestore, MissingFileLeavesEveryBox) {
  FakeForm form = MainWindow();
  FakeFileSystem fs;
  std::string path = kConfig;
  EXPECT_EQ(RestoreEditBoxes(form, path, fs, kExeDir), 6);
  EXPECT_EQ(form.set_text_calls, 0);
}

TEST(SettingsSaveRestore, FileThatCannotBeReadIsNeverOverwritten) {
  FakeForm form = MainWindow();
  SetBoxTexts(form);
  FakeFileSystem fs;
  fs.unreadable.insert(kConfig);
  std::string path = kConfig;
  EXPECT_EQ(SaveEditBoxes(form, path, kUnsavedBoxes, fs, kExeDir), 6);
  EXPECT_TRUE(fs.files.empty()) << "a save must not replace what it could not read";
}

TEST(SettingsSaveRestore, TextsSurviveARoundTrip) {
  std::string long_text;
  while (long_text.size() < 20000) long_text += "震惊！\r\n";
  FakeForm before = MainWindow();
  before.SetText(names::kPrefixList, long_text);
  before.SetText(names::kConnectorList, "\"quoted\"");
  before.SetText(names::kSuffixList, "\ta\rb\nc><br><d ");
  before.SetText(names::kCount, "7");
  FakeFileSystem fs;
  std::string path = kConfig;
  SaveEditBoxes(before, path, kUnsavedBoxes, fs, kExeDir);

  FakeForm after = MainWindow();
  RestoreEditBoxes(after, path, fs, kExeDir);
  EXPECT_EQ(after.Text(names::kPrefixList), long_text);
  EXPECT_EQ(after.Text(names::kConnectorList), "\"quoted\"");
  EXPECT_EQ(after.Text(names::kSuffixList), "\ta\rb\nc\r\nd ");  // a typed token turns back
  EXPECT_EQ(after.Text(names::kCount), "7");
}

TEST(SettingsSaveRestore, EmptyPathIsReplacedByTheFallback) {
  FakeForm form = MainWindow();
  FakeFileSystem fs;
  std::string path;
  EXPECT_EQ(SaveEditBoxes(form, path, kUnsavedBoxes, fs, kExeDir), 6);
  EXPECT_EQ(path, "D:\\Apps\\data\\setsoft.ini");
  EXPECT_EQ(fs.created, std::vector<std::string>{"D:\\Apps\\data"});
  EXPECT_EQ(fs.files.count("D:\\Apps\\data\\setsoft.ini"), 1u);

  FakeForm restored = MainWindow();
  restored.SetText(names::kCount, "3");
  std::string restore_path;
  EXPECT_EQ(RestoreEditBoxes(restored, restore_path, fs, kExeDir), 6);
  EXPECT_EQ(restore_path, "D:\\Apps\\data\\setsoft.ini");
  EXPECT_EQ(restored.Text(names::kCount), "10");
  EXPECT_EQ(fs.created.size(), 1u);  // "data" existed by then
}

TEST(SettingsSaveRestore, OnlyLiveEditBoxesInsideTheWindowCount) {
  FakeForm form = MainWindow();
  form.Find(names::kSuffixList)->info.exists = false;
  form.Find(names::kCount)->info.inside = false;
  form.Add("编辑框10", "编辑框", "ten").Add("编辑框_x", "编辑框 ", "kind with a blank");
  EXPECT_EQ(FindEditBoxes(form),
            (std::vector<std::string>{names::kEvent, names::kPrefixList, names::kConnectorList,
                                      names::kResult, "编辑框10"}));

  FakeFileSystem fs;
  std::string path = kConfig;
  EXPECT_EQ(SaveEditBoxes(form, path, kUnsavedBoxes, fs, kExeDir), 5);
  const IniDocument saved = IniDocument::Parse(fs.files[kConfig]);
  EXPECT_EQ(saved.Get(kSettingsSection, "编辑框10"), "ten");
  EXPECT_EQ(saved.Get(kSettingsSection, names::kSuffixList), std::nullopt);
  EXPECT_EQ(saved.Get(kSettingsSection, "编辑框_x"), std::nullopt);
}

}  // namespace
}  // namespace quillora
