#include <gtest/gtest.h>

#include <vector>

#include "discovery/ThumbnailCache.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class ThumbnailCacheTest : public ::testing::Test {
  protected:
    ThumbnailCacheTest() {
        ThumbnailCache::resetShared();
        app = &fake.addApp({.name = "Editor"});
    }
    ~ThumbnailCacheTest() override { ThumbnailCache::resetShared(); }

    ThumbnailCache& cache() { return ThumbnailCache::shared(); }
    std::vector<FakeWindow*> addWindows(int count) {
        std::vector<FakeWindow*> windows;
        for (int i = 0; i < count; ++i)
            windows.push_back(&fake.addWindow(*app, "Window " + std::to_string(i)));
        return windows;
    }

    FakePlatform fake;
    FakeApp* app = nullptr;
};

TEST_F(ThumbnailCacheTest, TheHundredAndFirstWindowEvictsTheLeastRecentlyRead) {
    auto windows = addWindows(102);
    for (int i = 0; i < 100; ++i) {
        ASSERT_NE(cache().thumbnail(windows[i]->number), nullptr) << "window " << i;
        fake.dispatch->advance(1);
    }
    cache().thumbnail(windows[0]->number);  // read again: now the most recent
    fake.dispatch->advance(1);

    cache().thumbnail(windows[100]->number);
    EXPECT_EQ(cache().count(), 100u);
    EXPECT_TRUE(cache().contains(windows[0]->number));
    EXPECT_FALSE(cache().contains(windows[1]->number)) << "least recently read";

    cache().thumbnail(windows[101]->number);
    EXPECT_FALSE(cache().contains(windows[2]->number));
    EXPECT_EQ(fake.windowServer->captureCount(), 102) << "a hit never captures";
}

TEST_F(ThumbnailCacheTest, EvictionOrderHoldsWithinOneClockReading) {
    auto windows = addWindows(101);
    for (auto* window : windows)
        cache().thumbnail(window->number);
    EXPECT_FALSE(cache().contains(windows[0]->number));
    EXPECT_TRUE(cache().contains(windows[1]->number));
}

TEST_F(ThumbnailCacheTest, AHitKeepsTheFirstPicture) {
    auto& window = fake.addWindow(*app, "Notes");
    auto first = cache().thumbnail(window.number);
    window.bounds = {0, 0, 1600, 1200};
    EXPECT_EQ(cache().thumbnail(window.number), first);
}

TEST_F(ThumbnailCacheTest, NothingIsCapturedOrStoredWithoutPermissionOrAWindow) {
    auto& window = fake.addWindow(*app, "Notes");
    fake.windowServer->setCapturePermitted(false);
    EXPECT_EQ(cache().thumbnail(window.number), nullptr);
    EXPECT_EQ(fake.windowServer->captureCount(), 0);

    fake.windowServer->setCapturePermitted(true);
    window.capturable = false;
    EXPECT_EQ(cache().thumbnail(window.number), nullptr);
    EXPECT_EQ(cache().thumbnail(4242), nullptr);
    EXPECT_EQ(cache().count(), 0u);
    window.capturable = true;
    EXPECT_NE(cache().thumbnail(window.number), nullptr) << "a failure is retried";
}

TEST_F(ThumbnailCacheTest, AnUnlistedWindowIsCapturedAfreshWhenItsNumberComesBack) {
    auto windows = addWindows(3);
    for (auto* window : windows)
        cache().thumbnail(window->number);
    cache().forgetUnlisted({windows[1]->number});
    EXPECT_EQ(cache().count(), 1u);
    EXPECT_TRUE(cache().contains(windows[1]->number));

    // The server handed the number of a closed window to a new one: its picture is its own.
    windows[0]->bounds = {0, 0, 1600, 1200};
    auto picture = cache().thumbnail(windows[0]->number);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 16) << "captured again at the new window's size, not 8";
    EXPECT_EQ(fake.windowServer->captureCount(), 4);

    cache().forgetUnlisted({});
    EXPECT_EQ(cache().count(), 0u);
}

TEST_F(ThumbnailCacheTest, RequestCapturesInTheBackgroundAndAnswersOnTheMainQueue) {
    auto& window = fake.addWindow(*app, "Notes");
    ImageRef delivered;
    bool onMain = false;
    cache().requestThumbnail(window.number, [&](ImageRef image) {
        delivered = image;
        onMain = fake.dispatch->isMainThread();
    });
    EXPECT_EQ(fake.windowServer->captureCount(), 0) << "never on the caller's thread";
    fake.dispatch->runUntilIdle();
    ASSERT_NE(delivered, nullptr);
    EXPECT_TRUE(onMain);
    EXPECT_EQ(delivered->pixels.front() & 0xFFFFFFu, window.number);
}

}  // namespace
}  // namespace vantlo
