#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/linux/QtDispatch.h"
#include "support/DispatchContract.h"

namespace vantlo::testing {
namespace {

// The Qt application of this test program. It needs no display; it is made once, on the thread
// that runs the tests, and lives until the process ends.
void ensureApplication() {
    static int argc = 1;
    static char name[] = "vantlo_tests_desktop_platform";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Runs the real event loop until the condition holds, checking it after every turn of the loop
// (and at least every millisecond, since background threads change things without events).
class QtDispatchDriver {
  public:
    QtDispatchDriver() : dispatch_((ensureApplication(), std::make_unique<QtDispatch>())) {}

    Dispatch& dispatch() { return *dispatch_; }
    double now() {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }
    bool runUntil(const std::function<bool()>& done, double seconds) {
        if (done())
            return true;
        QEventLoop loop;
        QTimer check;
        check.setInterval(1);
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
        check.start();
        loop.exec();
        return done();
    }

  private:
    std::unique_ptr<QtDispatch> dispatch_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Qt, DispatchContract, QtDispatchDriver);

TEST(QtDispatch, LongDelaysDoNotOverflowAndCanBeCancelled) {
    QtDispatchDriver driver;
    std::atomic<bool> ran = false;
    auto never = driver.dispatch().asyncAfter(1.0e12, [&] { ran = true; });
    std::atomic<bool> soon = false;
    driver.dispatch().asyncAfter(0.01, [&] { soon = true; });
    ASSERT_TRUE(driver.runUntil([&] { return soon.load(); }, kDeadline));
    never->cancel();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace vantlo::testing
