#include <gtest/gtest.h>

#include <optional>

#include "platform/GrabWatchdog.h"
#include "testing/FakeClock.h"

namespace vantlo {
namespace {

// The watchdog on virtual time: a fake clock stands in for the monotonic one, the main thread's
// beats and the polling thread's checks are calls at chosen moments.
class GrabWatchdog_ : public ::testing::Test {
  protected:
    // Checks every 10 ms, as the polling thread does, until `seconds` have passed; answers
    // whether the watchdog gave the grab back, and when.
    std::optional<double> pollFor(double seconds) {
        const double end = clock.now() + seconds;
        while (clock.now() < end) {
            clock.advance(0.01);
            if (watchdog.shouldGiveBack(clock.now()))
                return clock.now();
        }
        return std::nullopt;
    }

    FakeClock clock;
    GrabWatchdog watchdog;
};

TEST_F(GrabWatchdog_, AnAnsweringMainThreadKeepsTheGrabForAsLongAsItLasts) {
    watchdog.grabTaken(clock.now());
    for (int beat = 0; beat < 200; ++beat) {
        EXPECT_FALSE(pollFor(0.05)) << "beat " << beat;
        watchdog.heartbeat(clock.now());
    }
    // A main thread late by up to the bound (a long paint) is still answering.
    EXPECT_FALSE(pollFor(GrabWatchdog::kDefaultBound - 0.02));
    EXPECT_TRUE(watchdog.isWatching());
}

TEST_F(GrabWatchdog_, ASilentMainThreadLosesTheGrabJustAfterTheBoundAndOnlyOnce) {
    const double taken = clock.now();
    watchdog.grabTaken(taken);
    watchdog.heartbeat(clock.now());
    auto gaveBack = pollFor(2.0);
    ASSERT_TRUE(gaveBack) << "a grab outlived a main thread silent for 2 s";
    EXPECT_GT(*gaveBack - taken, GrabWatchdog::kDefaultBound);
    EXPECT_LE(*gaveBack - taken, GrabWatchdog::kDefaultBound + 0.011) << "one poll late at most";
    EXPECT_FALSE(watchdog.isWatching());
    EXPECT_FALSE(pollFor(1.0)) << "the grab is given back once";
    watchdog.heartbeat(clock.now());
    EXPECT_FALSE(pollFor(1.0)) << "a late beat re-armed a grab that is no longer held";
}

TEST_F(GrabWatchdog_, OnlyAHeldGrabIsWatched) {
    EXPECT_FALSE(pollFor(1.0)) << "no grab yet";
    watchdog.grabTaken(clock.now());
    clock.advance(0.2);
    watchdog.grabGivenBack();
    EXPECT_FALSE(pollFor(1.0)) << "the owner gave the grab back itself";
    EXPECT_EQ(watchdog.silence(clock.now()), 0.0);

    // The next grab starts its own count: the silence before it does not count.
    watchdog.grabTaken(clock.now());
    EXPECT_FALSE(pollFor(0.2));
    EXPECT_TRUE(pollFor(0.1)) << "the second grab's own silence";
}

TEST_F(GrabWatchdog_, ABeatStampedBeforeTheLastOneDoesNotShortenTheCount) {
    watchdog.grabTaken(clock.now());
    clock.advance(0.2);
    const double late = clock.now();
    watchdog.heartbeat(late);
    watchdog.heartbeat(late - 0.2);
    EXPECT_NEAR(watchdog.silence(late), 0.0, 1e-9);
    EXPECT_FALSE(pollFor(0.2));
}

}  // namespace
}  // namespace vantlo
