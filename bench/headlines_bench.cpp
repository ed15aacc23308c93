// How fast the generator makes headlines from the built-in lists, side by side with a naive
// form of the same work and with a plain copy of the same output bytes. Prints headlines per
// second for each run and the ratios between them.
#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <limits>
#include <map>
#include <string>

#include "generator/default_lists.h"
#include "generator/headlines.h"
#include "generator/lines.h"

namespace {

using namespace quillora;

// The millisecond tick count as the running program would read it, from the coarse clock.
class CoarseTickClock : public Clock {
 public:
  std::uint32_t TickCount() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &ts);
    return static_cast<std::uint32_t>(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
  }
};

// The benchmark measures every count in full, past the limit a click would stop at.
constexpr std::size_t kNoLimit = std::numeric_limits<std::size_t>::max();

struct Lists {
  std::vector<std::string_view> prefixes = SplitLines(kDefaultPrefixList);
  std::vector<std::string_view> connectors = SplitLines(kDefaultConnectorList);
  std::vector<std::string_view> suffixes = SplitLines(kDefaultSuffixList);
};

void BM_Generate(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  CoarseTickClock clock;
  RandomGenerator rng;
  for (auto _ : state) {
    // Cutting the lists belongs to the command, so it is inside the timed loop.
    Lists lists;
    std::string out =
        MakeHeadlines(lists.prefixes, lists.connectors, lists.suffixes, count, rng, clock, kNoLimit);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// The same work done the naive way: every pick cuts its list again, and every append copies
// the whole result text (as reading the result box before each append would).
void BM_GenerateNaive(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  CoarseTickClock clock;
  RandomGenerator rng;
  for (auto _ : state) {
    std::string result;
    for (std::int32_t i = 0; i < count; ++i) {
      std::string line = PickRandomLine(kDefaultPrefixList, rng, clock) + "," +
                         PickRandomLine(kDefaultConnectorList, rng, clock) + "," +
                         PickRandomLine(kDefaultSuffixList, rng, clock) + "\r\n";
      std::string current = result;
      result = current + line;
    }
    benchmark::DoNotOptimize(result.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

// Copying output of the same size: the floor for any way of producing it.
void BM_PlainCopy(benchmark::State& state) {
  const auto count = static_cast<std::int32_t>(state.range(0));
  CoarseTickClock clock;
  RandomGenerator rng;
  Lists lists;
  const std::string source =
      MakeHeadlines(lists.prefixes, lists.connectors, lists.suffixes, count, rng, clock, kNoLimit);
  for (auto _ : state) {
    std::string copy(source);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetItemsProcessed(state.iterations() * count);
}

BENCHMARK(BM_Generate)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GenerateNaive)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// Remembers each run's headlines per second so that the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const auto& run : runs) {
      auto it = run.counters.find("items_per_second");
      if (it != run.counters.end()) rates_[run.benchmark_name()] = it->second.value;
    }
  }
  double Rate(const std::string& name) const {
    auto it = rates_.find(name);
    return it == rates_.end() ? 0.0 : it->second;
  }

 private:
  std::map<std::string, double> rates_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\n%-10s %20s %20s %14s\n", "headlines", "generate (per s)", "plain copy (per s)",
              "copy/generate");
  for (const char* n : {"10000", "100000", "1000000"}) {
    const double gen = reporter.Rate(std::string("BM_Generate/") + n);
    const double copy = reporter.Rate(std::string("BM_PlainCopy/") + n);
    std::printf("%-10s %20.0f %20.0f %13.2fx\n", n, gen, copy, gen > 0 ? copy / gen : 0.0);
  }
  const double gen10k = reporter.Rate("BM_Generate/10000");
  const double naive10k = reporter.Rate("BM_GenerateNaive/10000");
  std::printf("\nat 10000: generate %.0f/s, naive %.0f/s, generate is %.1fx faster\n", gen10k,
              naive10k, naive10k > 0 ? gen10k / naive10k : 0.0);
  return 0;
}
