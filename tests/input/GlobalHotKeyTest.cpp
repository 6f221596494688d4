#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "input/GlobalHotKey.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

struct GlobalHotKeyTest : ::testing::Test {
    FakePlatform fake;
    std::vector<std::uint32_t> fired;

    GlobalHotKeyTest() { GlobalHotKey::resetShared(); }
    ~GlobalHotKeyTest() override { GlobalHotKey::resetShared(); }

    GlobalHotKey::Handler record(std::uint32_t tag) {
        return [this, tag] {
            EXPECT_TRUE(fake.dispatch->isMainThread()) << "callbacks run on the main queue";
            fired.push_back(tag);
        };
    }
    // A press reported by the system on one of its own threads.
    void pressFromBackground(std::uint32_t id) {
        fake.dispatch->global(QualityOfService::userInitiated,
                              [this, id] { fake.hotKeys->press(id); });
        fake.dispatch->runBackground();
    }
};

TEST_F(GlobalHotKeyTest, IdsCountUpAndEachPressReachesItsOwnCallback) {
    GlobalHotKey activation(HotkeyConfig::defaultActivation(), record(10));
    GlobalHotKey other(KeyCode::space, CarbonModifiers::control, record(20));
    EXPECT_EQ(activation.id(), 1u);
    EXPECT_EQ(other.id(), 2u);
    EXPECT_TRUE(activation.isRegistered());
    auto registered = fake.hotKeys->registered();
    EXPECT_EQ(registered[1], (FakeHotKeys::Combination{48, 0x0800}));
    EXPECT_EQ(registered[2], (FakeHotKeys::Combination{49, 0x1000}));

    pressFromBackground(2);
    EXPECT_TRUE(fired.empty()) << "never runs inside the platform callback";
    fake.dispatch->runMainQueue();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{20}));

    pressFromBackground(1);
    pressFromBackground(1);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{20, 10, 10})) << "one callback per press";
}

TEST_F(GlobalHotKeyTest, DestructionUnregistersAndDropsLatePresses) {
    auto first = std::make_unique<GlobalHotKey>(HotkeyConfig::defaultActivation(), record(1));
    pressFromBackground(1);
    first.reset();
    EXPECT_TRUE(fake.hotKeys->registered().empty());
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(fired.empty()) << "a press queued before destruction is dropped";

    fake.hotKeys->deliverQueuedPress(1);
    fake.dispatch->runUntilIdle();
    EXPECT_TRUE(fired.empty()) << "a press arriving after destruction does nothing";
    EXPECT_EQ(fake.dispatch->pendingMainTasks(), 0u);
}

TEST_F(GlobalHotKeyTest, ReplacingTheHotKeyRegistersTheNewOneFirst) {
    auto current = std::make_unique<GlobalHotKey>(HotkeyConfig::defaultActivation(), record(1));
    current = std::make_unique<GlobalHotKey>(HotkeyConfig{KeyCode::tab, 0x0100}, record(2));
    EXPECT_EQ(current->id(), 2u);
    EXPECT_EQ(fake.hotKeys->registered(),
              (std::map<std::uint32_t, FakeHotKeys::Combination>{{2, {48, 0x0100}}}));
    pressFromBackground(2);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{2}));
}

TEST_F(GlobalHotKeyTest, RefusedCombinationNeverFiresAndKeepsItsId) {
    fake.hotKeys->refuse(KeyCode::tab, CarbonModifiers::command);
    GlobalHotKey taken(KeyCode::tab, CarbonModifiers::command, record(1));
    GlobalHotKey free(HotkeyConfig::defaultActivation(), record(2));
    EXPECT_FALSE(taken.isRegistered());
    EXPECT_TRUE(free.isRegistered());
    EXPECT_EQ(free.id(), 2u) << "a refused registration still takes its id";
    EXPECT_FALSE(fake.hotKeys->press(1));
    {
        GlobalHotKey alsoTaken(KeyCode::tab, CarbonModifiers::command, record(3));
        EXPECT_EQ(alsoTaken.id(), 3u);
    }
    EXPECT_EQ(fake.hotKeys->registered().size(), 1u) << "the live registration is untouched";
    pressFromBackground(2);
    fake.dispatch->runUntilIdle();
    EXPECT_EQ(fired, (std::vector<std::uint32_t>{2}));
}

}  // namespace
}  // namespace vantlo
