// Listing windows on a real X server: the window manager's whole client list, and one
// application's windows with their titles through the Accessibility backend, as an enumeration
// reads them. Needs $DISPLAY with a window manager; e2e/bench_listing.sh starts a private one
// with 500 test windows. Without a display it reports the skip and exits successfully.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/AXNames.h"
#include "platform/linux/X11Accessibility.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {
namespace {

struct Desktop {
    std::shared_ptr<XcbConnection> connection = XcbConnection::open(nullptr, nullptr);
    std::shared_ptr<X11WindowList> windows =
        connection ? std::make_shared<X11WindowList>(connection) : nullptr;
    std::shared_ptr<X11Accessibility> accessibility = std::make_shared<X11Accessibility>(
        connection, windows,
        connection ? std::make_shared<X11WindowActions>(connection, windows) : nullptr);

    static Desktop& shared() {
        static Desktop desktop;
        return desktop;
    }
    // The process owning the most listed windows.
    Pid busiestProcess() {
        std::map<Pid, int> counts;
        for (const auto& w : windows->snapshot().windows)
            counts[w.pid] += w.isListed() ? 1 : 0;
        Pid best = 0;
        for (const auto& [pid, n] : counts) {
            if (best == 0 || n > counts[best])
                best = pid;
        }
        return best;
    }
};

void BM_SnapshotOfAllClients(benchmark::State& state) {
    auto& d = Desktop::shared();
    std::size_t count = 0;
    int waves = 0;
    for (auto _ : state) {
        auto snapshot = d.windows->snapshot();
        count = snapshot.windows.size();
        waves = snapshot.requestWaves;
        benchmark::DoNotOptimize(snapshot);
    }
    state.counters["windows"] = double(count);
    state.counters["waves"] = waves;
}

void BM_ApplicationWindowsWithTitles(benchmark::State& state) {
    auto& d = Desktop::shared();
    auto& ax = *d.accessibility;
    auto app = ax.applicationElement(d.busiestProcess());
    std::size_t count = 0;
    for (auto _ : state) {
        auto windows = ax.copyAttribute(app, AX::windows).asElements();
        count = windows ? windows->size() : 0;
        for (const auto& window : windows.value_or(std::vector<AXElementRef>{})) {
            benchmark::DoNotOptimize(ax.copyAttribute(window, AX::title));
            benchmark::DoNotOptimize(ax.windowNumber(window));
        }
    }
    state.counters["windows"] = double(count);
}

BENCHMARK(BM_SnapshotOfAllClients)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ApplicationWindowsWithTitles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantlo

int main(int argc, char** argv) {
    auto& desktop = vantlo::Desktop::shared();
    if (!desktop.connection || !desktop.connection->hasWindowManager()) {
        std::puts(
            "vantlo_bench_desktop: skipped (no X display with a window manager; "
            "run e2e/bench_listing.sh)");
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
