#include <gtest/gtest.h>

#include <vector>

#include "discovery/ThumbnailCache.h"
#include "discovery/WindowEnumeratorCache.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class WindowEnumeratorCacheTest : public ::testing::Test {
  protected:
    WindowEnumeratorCacheTest() {
        WindowEnumeratorCache::resetShared();
        ThumbnailCache::resetShared();
    }
    ~WindowEnumeratorCacheTest() override {
        WindowEnumeratorCache::resetShared();
        ThumbnailCache::resetShared();
    }

    FakePlatform fake;
    WindowEnumeratorCache& cache() { return WindowEnumeratorCache::shared(); }
};

TEST_F(WindowEnumeratorCacheTest, CoalescedRefreshesShareOneEnumerationAndCompleteInOrder) {
    auto& editor = fake.addApp({.bundleID = "com.example.editor", .name = "Editor"});
    fake.addWindow(editor, "Notes");
    std::vector<int> order;

    cache().refreshAsync([&] { order.push_back(1); });
    cache().refreshAsync();
    cache().refreshAsync([&] { order.push_back(2); });
    EXPECT_EQ(fake.dispatch->pendingBackgroundTasks(), 1u) << "one enumeration for three requests";

    fake.dispatch->runBackground();
    EXPECT_EQ(cache().cached().size(), 1u);
    EXPECT_TRUE(order.empty()) << "callbacks wait for the main queue";
    EXPECT_EQ(fake.dispatch->pendingMainTasks(), 1u) << "all callbacks in one main-queue task";
    fake.dispatch->runMainQueue();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));

    cache().refreshAsync([&] { order.push_back(3); });
    EXPECT_EQ(fake.dispatch->pendingBackgroundTasks(), 1u) << "a finished refresh does not block";
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST_F(WindowEnumeratorCacheTest, FreshForExactlyThreeSecondsAndNeverWhenEmpty) {
    cache().refreshSync();
    EXPECT_FALSE(cache().isFresh(3.0)) << "an empty list is never fresh";

    auto& editor = fake.addApp({.name = "Editor"});
    fake.addWindow(editor, "Notes");
    EXPECT_EQ(cache().refreshSync().size(), 1u);
    fake.dispatch->advance(3.0);
    EXPECT_TRUE(cache().isFresh(3.0)) << "at exactly 3.0 s";
    fake.dispatch->advance(0.001);
    EXPECT_FALSE(cache().isFresh(3.0)) << "just after 3.0 s";
}

TEST_F(WindowEnumeratorCacheTest, ALaterBackgroundResultReplacesASynchronousOne) {
    auto& editor = fake.addApp({.name = "Editor"});
    auto& notes = fake.addWindow(editor, "Notes");
    fake.addWindow(editor, "Todo");
    cache().refreshAsync();
    EXPECT_EQ(cache().refreshSync().size(), 2u);
    fake.closeWindow(notes);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(cache().cached().size(), 1u);
}

TEST_F(WindowEnumeratorCacheTest, EveryRefreshForgetsThePicturesOfClosedWindows) {
    auto& editor = fake.addApp({.name = "Editor"});
    auto& notes = fake.addWindow(editor, "Notes");
    auto& todo = fake.addWindow(editor, "Todo");
    auto& draft = fake.addWindow(editor, "Draft");
    auto& pictures = ThumbnailCache::shared();
    for (auto* window : {&notes, &todo, &draft})
        ASSERT_NE(pictures.thumbnail(window->number), nullptr);

    fake.closeWindow(notes);
    cache().refreshSync();
    EXPECT_FALSE(pictures.contains(notes.number));
    EXPECT_TRUE(pictures.contains(todo.number)) << "a listed window keeps its picture";

    fake.closeWindow(draft);
    cache().refreshAsync();
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(pictures.contains(draft.number)) << "a background refresh forgets too";
    EXPECT_EQ(pictures.count(), 1u);

    fake.quitApp(editor);
    cache().refreshSync();
    EXPECT_EQ(pictures.count(), 0u) << "an application that quit takes its pictures along";
}

TEST_F(WindowEnumeratorCacheTest, ADroppedCacheStoresNothingAndCallsNoOne) {
    auto& editor = fake.addApp({.name = "Editor"});
    fake.addWindow(editor, "Notes");
    bool called = false;
    cache().refreshAsync([&] { called = true; });
    WindowEnumeratorCache::resetShared();
    fake.dispatch->runUntilIdle();
    EXPECT_FALSE(called);
    EXPECT_TRUE(cache().cached().empty());
}

}  // namespace
}  // namespace vantlo
