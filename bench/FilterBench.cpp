// `vantlo filter` without its process: ranking 100,000 lines held in memory, as the command
// does once it has mapped its input. bench/compare_filter.sh measures the whole process.

#include <benchmark/benchmark.h>

#include <string>

#include "SyntheticCorpus.h"
#include "app/LineRanker.h"

namespace vantlo::bench {
namespace {

constexpr const char* kFilterQueries[] = {"a", "chr", "read", "g re", "budget", "config.yaml"};

// One line per item: its title and subtitle, as a script would list them.
const std::string& lines() {
    static const std::string text = [] {
        SyntheticCorpus corpus;
        std::string all;
        for (const SwitchItem& item : corpus.items(100'000))
            all += item.title() + " " + item.subtitle() + "\n";
        return all;
    }();
    return text;
}

void BM_RankLines(benchmark::State& state) {
    const std::string& text = lines();
    const char* query = kFilterQueries[state.range(0)];
    std::size_t matches = 0;
    for (auto _ : state) {
        auto ranked = LineRanker::rank(query, text);
        matches = ranked.size();
        benchmark::DoNotOptimize(ranked);
    }
    state.SetLabel(std::string("\"") + query + "\", " + std::to_string(matches) + " matches");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RankLines)
    ->DenseRange(0, std::size(kFilterQueries) - 1)
    ->Unit(benchmark::kMillisecond);

// One line of 2^N bytes with the query at its end: the time must grow with the line, not with its
// square (each stretch boundary once looked for the line's end on its own).
void BM_RankOneLongLine(benchmark::State& state) {
    std::string text(std::size_t{1} << state.range(0), 'x');
    text += " needle\n";
    for (auto _ : state) {
        auto ranked = LineRanker::rank("needle", text);
        benchmark::DoNotOptimize(ranked);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RankOneLongLine)->DenseRange(22, 28, 2)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantlo::bench
