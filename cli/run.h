// The work of quillora-cli once its options are parsed.
#pragma once

#include <cstdint>
#include <string>

#include "generator/output_format.h"
#include "generator/phrase_lists.h"

namespace quillora::cli {

#ifndef QUILLORA_VERSION
#define QUILLORA_VERSION "0"
#endif
inline constexpr char kVersion[] = QUILLORA_VERSION;

struct Options {
  std::uint32_t count = 10;
  bool has_count = false;
  bool has_seed = false;
  std::uint32_t seed = 0;
  bool unique = false;
  bool stats = false;
  std::string config_file;
  std::string list_files[3];  // prefixes, connectors, suffixes
  std::string event;
  bool has_event = false;
  InputEncoding input_encoding = InputEncoding::kAuto;
  bool gbk_output = false;
  OutputFormat format = OutputFormat::kText;
  std::string output_file;
};

// Checks and converts the values given as text; false with one line saying what is wrong.
bool ParseOptionValues(const std::string& count, const std::string& seed,
                       const std::string& format, const std::string& encoding,
                       const std::string& input_encoding, Options& options, std::string& problem);

// Writes the headlines (or the figures). The exit code: 0, or 1 after a message.
int Run(const Options& options);

}  // namespace quillora::cli
