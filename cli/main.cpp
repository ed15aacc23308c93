// quillora-cli: headlines from the same lists as the window, for scripts and batches.
// Parses the options, gathers the three lists, and streams the headlines to the output.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "cli/run.h"
#include "cli/system.h"

#ifdef _WIN32
#include "cli/wide.h"
#endif

namespace quillora::cli {
namespace {

constexpr char kProgram[] = "quillora-cli";

int UsageError(const std::string& what) {
  WriteError(std::string(kProgram) + ": " + what + "\n" + "Try '" + kProgram +
             " --help' for more information.\n");
  return 2;
}

int Main(std::vector<std::string> args) {
  CLI::App app{"Headlines joined from three phrase lists, as the Quillora window makes them:\n"
               "prefix,connector,suffix, each phrase picked independently and uniformly.",
               kProgram};
  Options o;
  std::string count = "10", seed, format = "text", encoding = "utf-8", input_encoding = "auto";
  app.add_option("-n,--count", count, "headlines to write (default 10); 0 writes none")
      ->type_name("N");
  app.add_option("--seed", seed,
                 "reproducible: N (0..4294967295) seeds the generator; without it the seed "
                 "comes from the system's random source")
      ->type_name("N");
  app.add_flag("--unique", o.unique, "no headline text twice in the output")
      ->disable_flag_override();
  app.add_option("--config", o.config_file,
                 u8"take the three lists from this settings file (section [编辑框])")
      ->type_name("FILE");
  app.add_option("--prefixes", o.list_files[0], "take the prefixes from a text file, one a line")
      ->type_name("FILE");
  app.add_option("--connectors", o.list_files[1], "take the connectors from a text file")
      ->type_name("FILE");
  app.add_option("--suffixes", o.list_files[2], "take the suffixes from a text file")
      ->type_name("FILE");
  app.add_option("--event", o.event, "takes the place of the connector list")->type_name("TEXT");
  app.add_option("--input-encoding", input_encoding, "of the list files: auto, gbk or utf-8")
      ->type_name("ENC");
  app.add_option("--encoding", encoding, "of the output: utf-8 (default) or gbk")
      ->type_name("ENC");
  app.add_option("--format", format, "text (default), csv or jsonl")->type_name("FORMAT");
  app.add_option("-o,--output", o.output_file, "write there instead of standard output")
      ->type_name("FILE");
  app.add_flag("--stats", o.stats, "print what the lists can make, instead of headlines")
      ->disable_flag_override();
  app.set_version_flag("--version", std::string(kProgram) + " " + kVersion);

  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  try {
    app.parse(static_cast<int>(argv.size()), argv.data());
  } catch (const CLI::CallForHelp&) {
    // Through our own output, so that a Windows console shows the help's Chinese right.
    return OpenStandardOutput()->Write(app.help(), false) == Output::Status::kFailed ? 1 : 0;
  } catch (const CLI::CallForVersion& e) {
    return OpenStandardOutput()->Write(std::string(e.what()) + "\n", false) ==
                   Output::Status::kFailed
               ? 1
               : 0;
  } catch (const CLI::ParseError& e) {
    return UsageError(e.what());
  }
  o.has_count = app.count("--count") > 0 || app.count("-n") > 0;
  o.has_event = app.count("--event") > 0;
  std::string problem;
  if (!ParseOptionValues(count, seed, format, encoding, input_encoding, o, problem)) {
    return UsageError(problem);
  }
  return Run(o);
}

}  // namespace
}  // namespace quillora::cli

#ifdef _WIN32
// Arguments come in as wide characters, so that an event in Chinese works on any Windows.
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(quillora::cli::Utf8FromWide(argv[i]));
  return quillora::cli::Main(std::move(args));
}
#else
int main(int argc, char** argv) {
  return quillora::cli::Main(std::vector<std::string>(argv, argv + argc));
}
#endif
