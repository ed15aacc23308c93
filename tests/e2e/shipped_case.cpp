// The program as a user gets it: unpacked from the release zip into a folder of their choosing
// and started where it lies, not copied beside the driver.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "generator/default_lists.h"
#include "tests/e2e/cases.h"
#include "tests/e2e/program_checks.h"

namespace e2e {

namespace {

// The path argument as the system passed it, in UTF-16: the folder's name may hold characters
// that the ANSI code page cannot.
std::wstring WideArgument(int index) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) Fail("cannot read the command line");
  std::wstring arg = index < count ? args[index] : L"";
  LocalFree(args);
  return arg;
}

}  // namespace

void Shipped(const Args&) {
  // quillora_e2e.exe shipped <full path of quillora.exe>
  const std::wstring exe = WideArgument(2);
  if (exe.empty() || exe.find(L'\\') == std::wstring::npos) {
    Fail("usage: quillora_e2e shipped <full Windows path of quillora.exe>");
  }
  if (!FileExists(exe)) Fail("no program at " + Show(Gbk(exe)));
  const std::wstring config = exe.substr(0, exe.find_last_of(L'\\')) + L"\\config.ini";
  Check(!FileExists(config), "config.ini is there before the first start");

  TempDir elsewhere("shipped-cwd");
  App::Options options;
  options.program = exe;
  options.current_directory = elsewhere.path();
  App app(elsewhere, options);

  EmptyTheClipboard();
  app.SetText(kCountBox, "10");
  app.Click(kGenerateButton);
  const std::string result = app.Text(kResultBox);
  CheckHeadlines("one click, built-in lists", result, 10, quillora::kDefaultPrefixList,
                 quillora::kDefaultConnectorList, quillora::kDefaultSuffixList);
  CheckClipboardHolds("one click", result);
  CloseAndCheckExitCode(app);

  const std::optional<std::string> saved = ReadFileBytes(config);
  Check(saved.has_value(), "no config.ini beside the program after closing it");
  if (saved) {
    const std::vector<std::string> lines = Lines(*saved);
    Check(RawValue(lines, kCountBox) == "10", "config.ini does not hold the count 10");
    Check(RawValue(lines, kPrefixBox) == Stored(quillora::kDefaultPrefixList),
          "config.ini does not hold the built-in prefix list");
  }
  Check(FilesIn(elsewhere.path()).empty(),
        "the program wrote into the directory it was started from");
}

}  // namespace e2e
