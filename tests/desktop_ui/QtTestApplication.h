#pragma once
// One Qt application for the tests of the user interface, on the offscreen platform so they run
// without a display.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QThreadPool>
#include <QTimer>
#include <functional>

namespace vantlo::testing {

// Icons load on Qt's global pool. The tests' application is never destroyed (which would wait
// for that pool), so the tests wait for it themselves: a load still running as the process's
// static objects go away crashed the run after every test had passed.
class QtThreadPoolDrain : public ::testing::Environment {
  public:
    void TearDown() override { QThreadPool::globalInstance()->waitForDone(); }
};

inline QApplication& qtApplication() {
    static int argc = 1;
    static char name[] = "vantlo_tests_desktop_ui";
    static char* argv[] = {name, nullptr};
    static QApplication* application = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        ::testing::AddGlobalTestEnvironment(new QtThreadPoolDrain);
        return new QApplication(argc, argv);
    }();
    return *application;
}

// Runs the event loop until `done` answers true or `seconds` pass; answers `done()`.
inline bool runEventsUntil(const std::function<bool()>& done, double seconds = 5) {
    qtApplication();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

}  // namespace vantlo::testing
