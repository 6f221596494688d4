// The summon path on a real X display: from the hot key's handler being called to the panel
// window mapped (the server's MapNotify, seen by a second connection) and to its first frame
// painted, through the real panel controller, list builder, search view model, Qt panel
// presenter and panel window, with 500 windows and 1,000 tabs in the caches. The goal: under
// one 60 Hz frame (16.7 ms) at the 95th percentile.
//
// The desktop behind the caches is the fake platform (SummonFixture), so every run lists the
// same items; the panel is a real Qt window on $DISPLAY. What this leaves out, the end-to-end
// comparison (bench/compare_summon.sh) covers: the hot key's trip from the X server to the
// handler and the keyboard and pointer grabs the program takes while the panel shows.
//
// Needs $DISPLAY, ideally with a window manager (bench/compare_summon.sh starts one and runs
// this too); without a display it says so and exits successfully.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

#include "SummonFixture.h"
#include "WindowMapWatcher.h"
#include "switcher/SwitcherPanelController.h"
#include "ui/switcher/QtEventMonitors.h"
#include "ui/switcher/QtPanelPresenter.h"
#include "ui/switcher/SearchView.h"
#include "ui/switcher/StandardPanelServices.h"
#include "ui/switcher/SwitcherPanel.h"

namespace vantlo::bench {
namespace {

using Clock = WindowMapWatcher::Clock;

constexpr int kWarmUpSummons = 3;
constexpr int kTimedSummons = 60;
constexpr double kWaitSeconds = 5;

WindowMapWatcher*& watcher() {
    static WindowMapWatcher* instance = nullptr;
    return instance;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Nearest-rank percentile of `samples` (not empty).
double percentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * samples.size()));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

// Notes when the view's first frame has been painted and handed to the server: the turn of the
// event loop after its first paint event, which is when Qt has flushed the frame.
class FirstPaint : public QObject {
  public:
    std::optional<Clock::time_point> at;

    void watch(QWidget* view) {
        at.reset();
        pending_ = false;
        view->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !pending_ && !at) {
            pending_ = true;
            QTimer::singleShot(0, this, [this] { at = Clock::now(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool pending_ = false;
};

// The screen the fake platform reports: the display's own, so the panel lands where it would.
void reportTheRealScreen(FakePlatform& fake) {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect all = screen->geometry();
    const QRect usable = screen->availableGeometry();
    fake.screens->setScreens({Screen{
        {double(all.x()), double(all.y()), double(all.width()), double(all.height())},
        {double(usable.x()), double(usable.y()), double(usable.width()), double(usable.height())},
        screen->devicePixelRatio()}});
    fake.screens->setPointer({all.center().x() + 0.0, all.center().y() + 0.0});
}

struct Summon {
    double handlerMs = 0;  // forward() returning: the synchronous part on the main thread
    double mappedMs = 0;
    double paintedMs = 0;
};

class SummonRig {
  public:
    SummonRig(FakePlatform& fake) : fake_(fake) {
        presenter_ = std::make_shared<QtPanelPresenter>(monitors_, standardPanelServices());
        controller_ =
            SwitcherPanelController::create(presenter_, monitors_, [](const std::string&) {});
        // As the program makes it: past the window manager, held by the program's grab.
        SwitcherPanel::setBypassesWindowManager(true);
        SwitcherPanel::setNativeWindowHook([this](QWidget* panel) {
            window_ = static_cast<std::uint32_t>(panel->winId());
            watcher()->watch(window_);
            paint_.watch(static_cast<SwitcherPanel*>(panel)->view());
        });
    }
    ~SummonRig() {
        SwitcherPanel::setNativeWindowHook(nullptr);
        SwitcherPanel::setBypassesWindowManager(false);
        controller_->hide();
        settle();
    }

    // One press of the hot key; nothing when the panel did not come up in time.
    std::optional<Summon> summon() {
        const auto start = Clock::now();
        controller_->forward();
        const auto returned = Clock::now();
        const std::uint32_t window = window_;
        const bool shown =
            window != 0 &&
            watcher()->runEventsUntil(
                [&] { return watcher()->mappedAt(window) && paint_.at.has_value(); }, kWaitSeconds);
        std::optional<Summon> result;
        if (shown)
            result = Summon{milliseconds(returned - start),
                            milliseconds(*watcher()->mappedAt(window) - start),
                            milliseconds(*paint_.at - start)};
        controller_->hide();
        if (window != 0)
            watcher()->runEventsUntil([&] { return watcher()->isUnmapped(window); }, kWaitSeconds);
        settle();
        watcher()->forget(window);
        window_ = 0;
        return result;
    }

  private:
    // Lets the slide-out end and the old panel go, and the background work of the showing run.
    void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        fake_.dispatch->runUntilIdle();
    }

    FakePlatform& fake_;
    std::shared_ptr<QtEventMonitors> monitors_ = std::make_shared<QtEventMonitors>();
    std::shared_ptr<QtPanelPresenter> presenter_;
    std::shared_ptr<SwitcherPanelController> controller_;
    FirstPaint paint_;
    std::uint32_t window_ = 0;
};

void BM_SummonToPanelMapped(benchmark::State& state) {
    FakePlatform fake(FakePlatform::Facts::linux);
    reportTheRealScreen(fake);
    SummonFixture fixture(fake, {.windows = static_cast<int>(state.range(0)),
                                 .tabs = static_cast<int>(state.range(1))});
    if (state.range(2) != 0)
        fixture.bringBrowserToFront();
    SummonRig rig(fake);

    std::optional<Summon> first;
    for (int i = 0; i < kWarmUpSummons; ++i) {
        auto warm = rig.summon();
        if (i == 0)
            first = warm;
    }
    std::vector<double> handler, mapped, painted;
    for (auto _ : state) {
        auto summon = rig.summon();
        if (!summon) {
            state.SkipWithError("the panel did not map within 5 s");
            break;
        }
        handler.push_back(summon->handlerMs);
        mapped.push_back(summon->mappedMs);
        painted.push_back(summon->paintedMs);
        state.SetIterationTime(summon->mappedMs / 1000.0);
    }
    if (mapped.empty())
        return;
    state.counters["windows"] = double(fixture.cachedWindowCount());
    state.counters["tabs"] = double(fixture.cachedTabCount());
    state.counters["first_mapped_ms"] = first ? first->mappedMs : 0;
    state.counters["handler_p50_ms"] = percentile(handler, 50);
    state.counters["mapped_p50_ms"] = percentile(mapped, 50);
    state.counters["mapped_p95_ms"] = percentile(mapped, 95);
    state.counters["painted_p50_ms"] = percentile(painted, 50);
    state.counters["painted_p95_ms"] = percentile(painted, 95);
}
BENCHMARK(BM_SummonToPanelMapped)
    ->ArgNames({"windows", "tabs", "browser_front"})
    ->Args({500, 1000, 0})
    ->Args({500, 1000, 1})
    ->Args({50, 0, 0})
    ->UseManualTime()
    ->Iterations(kTimedSummons)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantlo::bench

int main(int argc, char** argv) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::puts("vantlo_bench_summon: skipped (no $DISPLAY; run bench/compare_summon.sh)");
        return 0;
    }
    vantlo::bench::WindowMapWatcher watcher;
    if (!watcher.connected()) {
        std::printf("vantlo_bench_summon: skipped (cannot open display %s)\n", display);
        return 0;
    }
    if (!watcher.hasWindowManager())
        std::puts("vantlo_bench_summon: no window manager on this display; maps are immediate");
    vantlo::bench::watcher() = &watcher;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    application.setApplicationName("vantlo_bench_summon");
    application.setQuitOnLastWindowClosed(false);
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    vantlo::bench::watcher() = nullptr;
    return 0;
}
