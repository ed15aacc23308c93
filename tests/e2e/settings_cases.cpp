// Remembering the edit boxes in config.ini beside the program, across real starts and closes.
#include "generator/default_lists.h"
#include "tests/e2e/cases.h"
#include "tests/e2e/program_checks.h"

namespace e2e {

namespace {

std::string Line(std::string_view key, std::string_view value) {
  return std::string(key) + "=" + std::string(value);
}

// Checks the texts of the edit boxes against the expected ones, box by box.
void CheckBoxes(const App& app, const std::string& when,
                const std::vector<std::pair<std::string, std::string>>& expected) {
  for (const auto& [box, text] : expected) CheckBytes(Show(box) + " " + when, text, app.Text(box));
}

}  // namespace

void SettingsFirstStartAndRestore(const Args&) {
  TempDir dir("settings");
  Check(!FileExists(dir.File(L"config.ini")), "a fresh folder already holds config.ini");
  {
    App app(dir);
    for (const std::string& box : EditBoxes()) {
      CheckBytes(Show(box) + " at the first start", LayoutText(box), app.Text(box));
    }
    app.SetText(kPrefixBox, "新前缀一\r\n新前缀二\r\n");
    app.SetText(kCountBox, "7");
    app.SetText(kEventBox, "不保存的事件");
    app.SetText(kResultBox, "不保存的结果");
    CloseAndCheckExitCode(app);
  }

  const auto lines = ConfigLines(dir);
  if (!lines) Fail("closing wrote no config.ini beside the program");
  const std::vector<std::string> expected = {
      "[编辑框]",
      Line(kPrefixBox, "新前缀一><br><新前缀二><br><"),
      Line(kConnectorBox, Stored(quillora::kDefaultConnectorList)),
      Line(kSuffixBox, Stored(quillora::kDefaultSuffixList)),
      Line(kCountBox, "7"),
  };
  Check(lines->size() == expected.size(), "config.ini has " + std::to_string(lines->size()) +
                                              " lines, expected the section and four keys");
  for (std::size_t i = 0; i < expected.size() && i < lines->size(); ++i) {
    CheckBytes("config.ini line " + std::to_string(i + 1), expected[i], (*lines)[i]);
  }
  const std::string first_save = ReadFileBytes(dir.File(L"config.ini")).value_or("");

  {
    // Read the moment the window turns visible: a program that showed its window and then
    // went back to its message loop before restoring would still show the layout texts here.
    App app(dir);
    CheckBoxes(app, "at the second start",
               {{kPrefixBox, "新前缀一\r\n新前缀二\r\n"},
                {kCountBox, "7"},
                {kConnectorBox, std::string(quillora::kDefaultConnectorList)},
                {kEventBox, ""},
                {kResultBox, ""}});
    CloseAndCheckExitCode(app);
  }
  CheckBytes("config.ini after an unchanged second run", first_save,
             ReadFileBytes(dir.File(L"config.ini")).value_or(""));
}

void SettingsEmptiedCount(const Args&) {
  TempDir dir("empty-count");
  {
    App app(dir);
    app.SetText(kCountBox, "");
    CloseAndCheckExitCode(app);
  }
  const auto lines = ConfigLines(dir);
  Check(lines && RawValue(*lines, kCountBox) == "",
        "the emptied count box is not saved as an empty value");
  App app(dir);
  CheckBytes("count box after an empty value", "10", app.Text(kCountBox));
  CloseAndCheckExitCode(app);
}

void SettingsHandWrittenValues(const Args&) {
  TempDir dir("hand-written");
  const std::string event = "突发新闻";
  const std::string stored_result = "手写的结果一><br><手写的结果二";
  const std::string file =
      "; 手写的注释\r\n"
      "[其他]\r\n"
      "键=值\r\n"
      "\r\n"
      "[编辑框]\r\n"
      "编辑框1=" +
      event +
      "\r\n"
      "编辑框_结果=" +
      stored_result +
      "\r\n"
      "编辑框_标题数=4\r\n"
      "未知的键=保留\r\n";
  WriteFileBytes(dir.File(L"config.ini"), file);

  for (int run = 1; run <= 2; ++run) {
    const std::string when = "at start " + std::to_string(run);
    App app(dir);
    CheckBoxes(
        app, when,
        {{kEventBox, event}, {kResultBox, "手写的结果一\r\n手写的结果二"}, {kCountBox, "4"}});
    app.Click(kGenerateButton);
    CheckHeadlines("with the hand-written event, " + when, app.Text(kResultBox), 4,
                   quillora::kDefaultPrefixList, event, quillora::kDefaultSuffixList);
    CloseAndCheckExitCode(app);

    const auto lines = ConfigLines(dir);
    if (!lines) Fail("config.ini is gone after run " + std::to_string(run));
    CheckBytes("event key after run " + std::to_string(run), event,
               RawValue(*lines, kEventBox).value_or("(missing)"));
    CheckBytes("result key after run " + std::to_string(run), stored_result,
               RawValue(*lines, kResultBox).value_or("(missing)"));
    CheckBytes("connector key after run " + std::to_string(run), event,
               RawValue(*lines, kConnectorBox).value_or("(missing)"));
    const std::string& all = ReadFileBytes(dir.File(L"config.ini")).value_or("");
    for (const char* kept : {"; 手写的注释\r\n", "[其他]\r\n键=值\r\n", "未知的键=保留\r\n"}) {
      Check(all.find(kept) != std::string::npos, "config.ini lost " + Show(kept));
    }
  }
}

void SettingsRoundTrip(const Args&) {
  TempDir dir("round-trip");

  // A stored prefix list of exactly 20 000 bytes: double-byte phrases, ASCII, line breaks.
  std::string stored;
  for (int i = 1; stored.size() < 19900; ++i) {
    stored += "第" + std::to_string(i) + "条：不看后悔 WOW 系列" + "><br><";
  }
  stored += "最后一行";
  stored.append(20000 - stored.size(), 'z');
  const std::string long_text = Replace(stored, "><br><", "\r\n");
  WriteFileBytes(dir.File(L"config.ini"), "[编辑框]\r\n编辑框_前缀=" + stored + "\r\n");

  // Texts that would not come back if written bare: blanks at both ends, a lone LF or CR
  // (either would end the line in the file), a text wrapped in quotes.
  const std::string blanks = "  两端有空格\n单独的换行\r单独的回车  ";
  const std::string quoted = "\"引号包住的衔接\"";

  for (int run = 1; run <= 2; ++run) {
    const std::string when = "at start " + std::to_string(run);
    App app(dir);
    CheckBytes("20 000-byte prefix list " + when, long_text, app.Text(kPrefixBox));
    if (run == 1) {
      app.SetText(kSuffixBox, blanks);
      app.SetText(kConnectorBox, quoted);
    } else {
      CheckBytes("suffix with blanks and lone line breaks " + when, blanks, app.Text(kSuffixBox));
      CheckBytes("connector in quotes " + when, quoted, app.Text(kConnectorBox));
    }
    CloseAndCheckExitCode(app);
    const auto lines = ConfigLines(dir);
    CheckBytes("stored prefix list after run " + std::to_string(run), stored,
               lines ? RawValue(*lines, kPrefixBox).value_or("(missing)") : "(no file)");
  }
}

void SettingsWineProfileFunctions(const Args&) {
  // The platform's functions convert through the ANSI code page, which must be GBK here.
  if (GetACP() != 936)
    Fail("this case needs ANSI code page 936, Wine runs with " + std::to_string(GetACP()));

  TempDir dir("profile");
  const std::string path = Gbk(dir.File(L"config.ini"));
  auto write = [&](const char* section, const std::string& key, const std::string& value) {
    WritePrivateProfileStringA(section, key.c_str(), value.c_str(), path.c_str());
  };
  auto read = [&](const char* section, const std::string& key) {
    std::string buffer(10240, '\0');
    const DWORD n = GetPrivateProfileStringA(section, key.c_str(), "", buffer.data(),
                                             static_cast<DWORD>(buffer.size()), path.c_str());
    buffer.resize(n);
    return buffer;
  };

  // Written by Wine's own writer, as bare values.
  write("其他", "键", "值");
  write(kSection, kPrefixBox, "甲一><br><乙二><br><丙三");
  write(kSection, kConnectorBox, "  带空格的衔接  ");
  write(kSection, kSuffixBox, "\"引号里的后缀\"");
  write(kSection, kCountBox, "3");
  write(kSection, kEventBox, "手写事件");
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());  // flush Wine's cache

  {
    App app(dir);
    for (const std::string& box : EditBoxes()) {
      const std::string wine_reads = read(kSection, box);
      const std::string expected =
          wine_reads.empty() ? LayoutText(box) : Replace(wine_reads, "><br><", "\r\n");
      CheckBytes(Show(box) + " as the program restored it vs. as Wine reads it", expected,
                 app.Text(box));
    }
    app.SetText(kPrefixBox, "新一\r\n新二");
    app.SetText(kConnectorBox, "\"引号\"");
    app.SetText(kSuffixBox, "  前后空格  ");
    app.SetText(kCountBox, "12");
    CloseAndCheckExitCode(app);
  }

  // The program's file, read by Wine's reader.
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
  CheckBytes("prefix read by Wine", "新一><br><新二", read(kSection, kPrefixBox));
  CheckBytes("connector read by Wine", "\"引号\"", read(kSection, kConnectorBox));
  CheckBytes("suffix read by Wine", "  前后空格  ", read(kSection, kSuffixBox));
  CheckBytes("count read by Wine", "12", read(kSection, kCountBox));
  CheckBytes("event read by Wine", "手写事件", read(kSection, kEventBox));
  CheckBytes("other section read by Wine", "值", read("其他", "键"));
}

void FatalStop(const Args&) {
  TempDir dir("fatal");
  const std::string before = "[编辑框]\r\n编辑框_标题数=7\r\n";
  WriteFileBytes(dir.File(L"config.ini"), before);
  App::Options options;
  options.executable = L"quillora_small_heap.exe";
  App app(dir, options);
  CheckBytes("the restored count", "7", app.Text(kCountBox));
  // 100 000 headlines need some 5 MB, far above this build's 1 MiB allocation ceiling.
  app.SetText(kCountBox, "100000");
  app.SetText(kSuffixBox, "不会保存的后缀");

  // Posted: the click never returns, it ends in the message box.
  PostMessageW(app.Control(kGenerateButton), BM_CLICK, 0, 0);
  std::vector<HWND> boxes;
  if (!WaitUntil([&] { return !(boxes = app.OtherTopLevelWindows()).empty(); }, 20000)) {
    Fail("no message box appeared");
  }
  const HWND box = boxes.front();
  wchar_t cls[64] = {};
  GetClassNameW(box, cls, 64);
  Check(std::wstring_view(cls) == L"#32770",
        "the fatal stop's window is no message box: " + Gbk(cls));
  const HWND ok = GetDlgItem(box, IDOK);
  Check(ok != nullptr && IsWindowVisible(ok), "the message box has no OK button");
  const HWND cancel = GetDlgItem(box, IDCANCEL);
  Check(cancel == nullptr || !IsWindowVisible(cancel), "the message box has a Cancel button");
  Check(app.Running(), "the program ended before OK was pressed");
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));

  const DWORD code = app.WaitForExit();
  Check(code == 0xFFFFFFFFu,
        "exit code after the fatal stop: expected 0xFFFFFFFF, got " + std::to_string(code));
  Check(ReadFileBytes(dir.File(L"config.ini")) == before, "the fatal stop changed config.ini");
}

}  // namespace e2e
