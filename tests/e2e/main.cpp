// quillora_e2e.exe <case> [arguments]: runs one end-to-end case against fresh copies of
// quillora.exe and ends with 0 when every check held, 1 otherwise.
#include <cstdio>
#include <cstring>
#include <exception>

#include "tests/e2e/cases.h"
#include "tests/e2e/harness.h"

namespace {

struct Case {
  const char* name;
  void (*run)(const e2e::Args&);
};

const Case kCases[] = {
    {"window", e2e::WindowAndControls},
    {"generate", e2e::Generate},
    {"event_and_restore_defaults", e2e::EventAndRestoreDefaults},
    {"keys", e2e::Keys},
    {"close_ways", e2e::CloseWays},
    {"command_line_and_current_directory", e2e::CommandLineAndCurrentDirectory},
    {"unicode_texts", e2e::UnicodeTexts},
    {"settings_first_start_and_restore", e2e::SettingsFirstStartAndRestore},
    {"settings_emptied_count", e2e::SettingsEmptiedCount},
    {"settings_hand_written_values", e2e::SettingsHandWrittenValues},
    {"settings_round_trip", e2e::SettingsRoundTrip},
    {"settings_wine_profile_functions", e2e::SettingsWineProfileFunctions},
    {"fatal_stop", e2e::FatalStop},
    {"bad_config_contents", e2e::BadConfigContents},
    {"bad_config_large_value", e2e::BadConfigLargeValue},
    {"bad_config_unwritable", e2e::BadConfigUnwritable},
    {"bad_counts", e2e::BadCounts},
    {"bad_phrase_boxes", e2e::BadPhraseBoxes},
    {"shipped", e2e::Shipped},
};

void Usage() {
  std::printf("usage: quillora_e2e <case> [arguments]\ncases:\n");
  for (const Case& c : kCases) std::printf("  %s\n", c.name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    Usage();
    return 2;
  }
  for (const Case& c : kCases) {
    if (std::strcmp(c.name, argv[1]) != 0) continue;
    std::printf("case %s (ANSI code page %u)\n", c.name, GetACP());
    try {
      c.run(e2e::Args(argv + 2, argv + argc));
    } catch (const std::exception& stop) {
      std::printf("FAIL: %s\n", stop.what());
    }
    const int failures = e2e::FailureCount();
    std::printf("%s: %d failed check%s\n", failures == 0 ? "PASS" : "FAIL", failures,
                failures == 1 ? "" : "s");
    return failures == 0 ? 0 : 1;
  }
  std::printf("unknown case %s\n", argv[1]);
  Usage();
  return 2;
}
