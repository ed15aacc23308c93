#include "cli/run.h"

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/system.h"
#include "generator/default_lists.h"
#include "generator/headline_space.h"
#include "generator/pcg32.h"
#include "text/encoding.h"
#include "text/utf8.h"

namespace quillora::cli {

namespace {

constexpr char kProgram[] = "quillora-cli";
constexpr std::size_t kFlushBytes = std::size_t{1} << 20;

void Fail(const std::string& message) { WriteError(std::string(kProgram) + ": " + message + "\n"); }

bool ParseWholeNumber(const std::string& text, std::uint64_t max, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > max) return false;
  }
  return true;
}

// ---- The lists -----------------------------------------------------------------------------

struct ListSource {
  const char* name;         // as --stats shows it
  const char* settings_key; // UTF-8 key name for messages
  std::string_view built_in;
};

const std::array<ListSource, 3> kSources = {{
    {"prefixes", u8"编辑框_前缀", kDefaultPrefixList},
    {"connectors", u8"编辑框_衔接", kDefaultConnectorList},
    {"suffixes", u8"编辑框_后缀", kDefaultSuffixList},
}};

std::optional<std::string> ReadFileOrFail(const std::string& path) {
  std::string reason;
  std::optional<std::string> bytes = ReadWholeFile(path, reason);
  if (!bytes) Fail("cannot read " + path + ": " + reason);
  return bytes;
}

bool GatherLists(const Options& o, std::array<PhraseList, 3>& lists) {
  // An explicit list file wins; else the settings file asked for; else the window's
  // config.ini beside the program; else the built-in lists.
  std::string settings_path = o.config_file;
  if (settings_path.empty()) {
    const std::string beside = ExecutableDirectory() + "config.ini";
    if (!ExecutableDirectory().empty() && PathExists(beside)) settings_path = beside;
  }
  SettingsLists settings;
  if (!settings_path.empty() &&
      (o.list_files[0].empty() || o.list_files[1].empty() || o.list_files[2].empty())) {
    const std::optional<std::string> bytes = ReadFileOrFail(settings_path);
    if (!bytes) return false;
    settings = ReadSettingsLists(*bytes);
  }
  const std::optional<std::string>* from_settings[3] = {&settings.prefixes, &settings.connectors,
                                                        &settings.suffixes};
  for (std::size_t i = 0; i < 3; ++i) {
    std::string error;
    std::optional<PhraseList> list;
    if (!o.list_files[i].empty()) {
      const std::optional<std::string> bytes = ReadFileOrFail(o.list_files[i]);
      if (!bytes) return false;
      list = DecodeListFile(*bytes, o.input_encoding, o.list_files[i], error);
    } else if (*from_settings[i]) {
      list = DecodeWindowList(**from_settings[i],
                              settings_path + " [" + u8"编辑框" + "] " + kSources[i].settings_key,
                              error);
    } else {
      list = DecodeWindowList(kSources[i].built_in, std::string("built-in ") + kSources[i].name,
                              error);
    }
    if (!list) {
      Fail(error);
      return false;
    }
    lists[i] = std::move(*list);
  }
  // A non-empty event takes the place of the connector list, as in the window.
  if (o.has_event && !o.event.empty()) {
    std::string event = o.event;
    if (!text::IsValidUtf8(event) && !text::GbkToUtf8(o.event, event)) {
      Fail("--event: the text is neither UTF-8 nor GBK");
      return false;
    }
    std::string error;
    lists[1] = *DecodeListFile(event, InputEncoding::kUtf8, "--event", error);
  }
  return true;
}

// ---- Writing -------------------------------------------------------------------------------

struct OutputClosed {};
struct OutputFailed {
  std::string message;
};

class Writer {
 public:
  Writer(Output& output, bool gbk) : output_(output), gbk_(gbk) { buffer_.reserve(kFlushBytes * 2); }
  std::string& Buffer() { return buffer_; }
  void MaybeFlush() {
    if (buffer_.size() >= kFlushBytes) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    Check(output_.Write(buffer_, gbk_));
    buffer_.clear();
  }
  void Commit() {
    Flush();
    Check(output_.Commit());
  }

 private:
  void Check(Output::Status status) {
    if (status == Output::Status::kClosed) throw OutputClosed{};
    if (status == Output::Status::kFailed) throw OutputFailed{output_.Failure()};
  }
  Output& output_;
  bool gbk_;
  std::string buffer_;
};

std::string FiguresLine(const char* name, const PhraseList& list) {
  const ListFigures f = HeadlineSpace::Figures(list.lines);
  return std::string(name) + " (" + list.origin + "): " + std::to_string(f.lines) + " lines, " +
         std::to_string(f.distinct) + " distinct phrases, " + std::to_string(f.empty_lines) +
         " empty lines, " + std::to_string(f.repeated_lines) + " repeated lines";
}

// An empty list takes part as one empty phrase: that part of the headline is empty.
std::vector<std::string> PickableLines(const PhraseList& list) {
  return list.lines.empty() ? std::vector<std::string>{std::string()} : list.lines;
}

std::string StatsText(const Options& o, const std::array<PhraseList, 3>& lists) {
  std::string out;
  for (std::size_t i = 0; i < 3; ++i) {
    out += FiguresLine(kSources[i].name, lists[i]);
    out += kLineEnd;
  }
  const std::vector<std::string> p = PickableLines(lists[0]), c = PickableLines(lists[1]),
                                 s = PickableLines(lists[2]);
  const HeadlineSpace space(p, c, s);
  const std::optional<std::uint64_t> distinct = space.DistinctHeadlines();
  out += "distinct headlines: ";
  out += distinct ? std::to_string(*distinct) : std::string("too many to count");
  out += kLineEnd;
  const std::optional<double> repeats = space.ExpectedRepeats(o.count);
  if (repeats) {
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.2f", *repeats);
    out += "expected repeated headlines in a batch of " + std::to_string(o.count) +
           " without --unique: " + figure;
    out += kLineEnd;
  }
  return out;
}

// Each line of a list as it goes into the output: escaped for the format, in the output's
// encoding. Fails with a message when a character has no GBK form.
bool PreparePieces(const PhraseList& list, const std::vector<std::string>& lines,
                   const Options& o, std::vector<std::string>& pieces) {
  pieces.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string piece = EscapePhrase(lines[i], o.format);
    if (o.gbk_output) {
      std::string gbk;
      std::size_t bad = 0;
      if (!text::Utf8ToGbk(lines[i], gbk, &bad)) {
        const text::CodePoint cp = text::DecodeUtf8At(lines[i], bad);
        Fail(list.origin + ", line " + std::to_string(i + 1) + ": " +
             text::CodePointName(cp.value) + " \"" + lines[i].substr(bad, cp.length) +
             "\" has no GBK form; choose --encoding utf-8");
        return false;
      }
      text::Utf8ToGbk(piece, gbk);
      piece = std::move(gbk);
    }
    pieces.push_back(std::move(piece));
  }
  return true;
}

Pcg32 MakeGenerator(const Options& o, bool& ok) {
  ok = true;
  if (o.has_seed) return Pcg32::FromSeed(o.seed);
  std::uint64_t state = 0, stream = 0;
  ok = SystemRandom(state) && SystemRandom(stream);
  return Pcg32(state, stream);
}

}  // namespace

bool ParseOptionValues(const std::string& count, const std::string& seed,
                       const std::string& format, const std::string& encoding,
                       const std::string& input_encoding, Options& o, std::string& problem) {
  std::uint64_t value = 0;
  if (!ParseWholeNumber(count, 2147483647u, value)) {
    problem = "--count: '" + count + "' is not a whole number from 0 to 2147483647";
    return false;
  }
  o.count = static_cast<std::uint32_t>(value);
  o.has_seed = !seed.empty();
  if (o.has_seed) {
    if (!ParseWholeNumber(seed, 4294967295u, value)) {
      problem = "--seed: '" + seed + "' is not a whole number from 0 to 4294967295";
      return false;
    }
    o.seed = static_cast<std::uint32_t>(value);
  }
  if (format == "text") {
    o.format = OutputFormat::kText;
  } else if (format == "csv") {
    o.format = OutputFormat::kCsv;
  } else if (format == "jsonl") {
    o.format = OutputFormat::kJsonl;
  } else {
    problem = "--format: '" + format + "' is not one of text, csv, jsonl";
    return false;
  }
  if (encoding == "utf-8" || encoding == "gbk") {
    o.gbk_output = encoding == "gbk";
  } else {
    problem = "--encoding: '" + encoding + "' is not one of utf-8, gbk";
    return false;
  }
  if (input_encoding == "auto") {
    o.input_encoding = InputEncoding::kAuto;
  } else if (input_encoding == "gbk") {
    o.input_encoding = InputEncoding::kGbk;
  } else if (input_encoding == "utf-8") {
    o.input_encoding = InputEncoding::kUtf8;
  } else {
    problem = "--input-encoding: '" + input_encoding + "' is not one of auto, gbk, utf-8";
    return false;
  }
  return true;
}

int Run(const Options& o) {
  std::array<PhraseList, 3> lists;
  if (!GatherLists(o, lists)) return 1;

  std::string stats;
  std::array<std::vector<std::string>, 3> lines, pieces;
  if (o.stats) {
    stats = StatsText(o, lists);
    std::string gbk;
    if (o.gbk_output && !text::Utf8ToGbk(stats, gbk)) {
      Fail("a list's name has no GBK form; choose --encoding utf-8");
      return 1;
    }
    if (o.gbk_output) stats = std::move(gbk);
  } else {
    for (std::size_t i = 0; i < 3; ++i) {
      lines[i] = PickableLines(lists[i]);
      if (!PreparePieces(lists[i], lines[i], o, pieces[i])) return 1;
    }
  }
  bool seeded = false;
  Pcg32 rng = MakeGenerator(o, seeded);
  if (!seeded) {
    Fail("the system's random source gave nothing; give a --seed");
    return 1;
  }

  std::unique_ptr<Output> output;
  if (o.output_file.empty()) {
    output = OpenStandardOutput();
  } else {
    std::string reason;
    output = OpenFileOutput(o.output_file, reason);
    if (!output) {
      Fail(reason);
      return 1;
    }
  }

  try {
    Writer writer(*output, o.gbk_output);
    std::string& buffer = writer.Buffer();
    if (o.stats) {
      buffer = stats;
    } else {
      buffer += OutputHeader(o.format, kLineEnd);
      const auto& P = pieces[0];
      const auto& C = pieces[1];
      const auto& S = pieces[2];
      if (o.unique) {
        const HeadlineSpace space(lines[0], lines[1], lines[2]);
        std::uint64_t written = 0;
        const std::optional<std::uint64_t> distinct =
            space.PickDistinct(o.count, rng, [&](const LineTriple& t) {
              AppendHeadline(buffer, o.format, P[t.prefix], C[t.connector], S[t.suffix], kLineEnd);
              writer.MaybeFlush();
              ++written;
            });
        if (distinct && *distinct < o.count) {
          Fail("the lists make only " + std::to_string(*distinct) +
               " distinct headlines; all of them were written");
        } else if (written < o.count) {
          Fail("found only " + std::to_string(written) + " distinct headlines by drawing");
        }
      } else {
        const auto np = static_cast<std::uint32_t>(P.size());
        const auto nc = static_cast<std::uint32_t>(C.size());
        const auto ns = static_cast<std::uint32_t>(S.size());
        for (std::uint32_t i = 0; i < o.count; ++i) {
          const std::uint32_t p = np > 1 ? rng.Below(np) : 0;
          const std::uint32_t c = nc > 1 ? rng.Below(nc) : 0;
          const std::uint32_t s = ns > 1 ? rng.Below(ns) : 0;
          AppendHeadline(buffer, o.format, P[p], C[c], S[s], kLineEnd);
          writer.MaybeFlush();
        }
      }
    }
    writer.Commit();
  } catch (const OutputClosed&) {
    return 0;  // the reader has all it wanted
  } catch (const OutputFailed& e) {
    Fail(e.message);
    return 1;
  }
  return 0;
}

}  // namespace quillora::cli
