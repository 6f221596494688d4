// Re-ranking a prepared list on every keystroke: the goal is under 1 ms for 10,000 items and
// under 10 ms for 100,000, for queries of 1 to 6 characters.

#include <benchmark/benchmark.h>

#include <memory>

#include "SyntheticCorpus.h"
#include "switcher/MatchIndex.h"
#include "switcher/SearchViewModel.h"
#include "testing/FakePlatform.h"

namespace vantlo::bench {
namespace {

// Each query grows one character per benchmark argument, as a user types it.
constexpr const char* kQueries[] = {"chrome", "readme", "budget", "g re", "docs a"};

std::unique_ptr<MatchIndex> buildIndex(std::size_t count) {
    SyntheticCorpus corpus;
    auto index = std::make_unique<MatchIndex>();
    for (const SwitchItem& item : corpus.items(count))
        index->addEntry(item.matchFields());
    return index;
}

MatchIndex& indexOf(std::size_t count) {
    static std::unique_ptr<MatchIndex> small = buildIndex(10'000);
    static std::unique_ptr<MatchIndex> large = buildIndex(100'000);
    return count == 10'000 ? *small : *large;
}

void BM_Rank(benchmark::State& state) {
    MatchIndex& index = indexOf(static_cast<std::size_t>(state.range(0)));
    const auto length = static_cast<std::size_t>(state.range(1));
    std::vector<MatchIndex::Ranked> ranked;
    std::size_t matches = 0;
    for (auto _ : state) {
        for (const char* query : kQueries) {
            index.rank(std::string_view(query).substr(0, length), ranked);
            matches += ranked.size();
        }
    }
    state.SetItemsProcessed(state.iterations() * std::size(kQueries));
    state.counters["matches/query"] =
        benchmark::Counter(static_cast<double>(matches) / static_cast<double>(std::size(kQueries)),
                           benchmark::Counter::kAvgIterations);
    state.counters["per_query_us"] = benchmark::Counter(
        static_cast<double>(state.iterations() * std::size(kQueries)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_Rank)
    ->ArgsProduct({{10'000, 100'000}, {1, 2, 3, 4, 5, 6}})
    ->Unit(benchmark::kMicrosecond);

void BM_Prepare(benchmark::State& state) {
    SyntheticCorpus corpus;
    auto items = corpus.items(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        MatchIndex index;
        for (const SwitchItem& item : items)
            index.addEntry(item.matchFields());
        benchmark::DoNotOptimize(index.size());
    }
}
BENCHMARK(BM_Prepare)->Arg(10'000)->Unit(benchmark::kMillisecond);

// What the view pays per keystroke: the model's ranked list, items copied in order.
void BM_ModelFiltered(benchmark::State& state) {
    FakePlatform fake;
    SyntheticCorpus corpus;
    auto model =
        SearchViewModel::create(corpus.items(static_cast<std::size_t>(state.range(0))), true, {});
    model->setQuery("x");
    model->filtered();  // prepares the search text once, as the first keystroke does
    const auto length = static_cast<std::size_t>(state.range(1));
    std::size_t matches = 0;
    for (auto _ : state) {
        for (const char* query : kQueries) {
            model->setQuery(std::string(std::string_view(query).substr(0, length)));
            matches += model->filtered().size();
        }
    }
    state.counters["per_query_us"] = benchmark::Counter(
        static_cast<double>(state.iterations() * std::size(kQueries)),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
    benchmark::DoNotOptimize(matches);
}
BENCHMARK(BM_ModelFiltered)
    ->ArgsProduct({{10'000, 100'000}, {1, 3, 6}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vantlo::bench
