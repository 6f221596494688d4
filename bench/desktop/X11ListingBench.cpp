// Listing windows on a real X server: the window manager's whole client list, and every
// application's windows with their titles through the Accessibility backend, as an enumeration
// reads them. Needs $DISPLAY with a window manager; e2e/bench_listing.sh starts a private one
// with 500 test windows. Without a display it reports the skip and exits successfully.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "platform/AXNames.h"
#include "platform/linux/X11Accessibility.h"
#include "platform/linux/X11WindowActions.h"
#include "platform/linux/X11WindowList.h"
#include "platform/linux/XcbConnection.h"
#include "platform/linux/XcbRequests.h"

namespace vantlo {
namespace {

struct Desktop {
    std::shared_ptr<XcbConnection> connection = XcbConnection::open(nullptr, nullptr);
    std::shared_ptr<X11WindowList> windows =
        connection ? std::make_shared<X11WindowList>(connection) : nullptr;
    std::shared_ptr<X11Accessibility> accessibility = std::make_shared<X11Accessibility>(
        connection, windows,
        connection ? std::make_shared<X11WindowActions>(std::make_shared<XcbRequests>(connection),
                                                        windows, nullptr)
                   : nullptr);

    static Desktop& shared() {
        static Desktop desktop;
        return desktop;
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

// What one window enumeration does: every application's windows with titles and numbers.
void BM_EnumerationOfEveryApplication(benchmark::State& state) {
    auto& d = Desktop::shared();
    auto& ax = *d.accessibility;
    std::set<Pid> pids;
    for (const auto& w : d.windows->snapshot().windows)
        pids.insert(w.pid);
    std::size_t count = 0;
    for (auto _ : state) {
        d.windows->invalidate();
        count = 0;
        for (Pid pid : pids) {
            auto windows = ax.copyAttribute(ax.applicationElement(pid), AX::windows).asElements();
            for (const auto& window : windows.value_or(std::vector<AXElementRef>{})) {
                benchmark::DoNotOptimize(ax.copyAttribute(window, AX::title));
                benchmark::DoNotOptimize(ax.windowNumber(window));
                ++count;
            }
        }
    }
    state.counters["windows"] = double(count);
    state.counters["applications"] = double(pids.size());
}

BENCHMARK(BM_SnapshotOfAllClients)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnumerationOfEveryApplication)->Unit(benchmark::kMillisecond);

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
