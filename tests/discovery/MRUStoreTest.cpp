#include <gtest/gtest.h>

#include "discovery/MRUStore.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class MRUStoreTest : public ::testing::Test {
  protected:
    MRUStoreTest() { MRUStore::resetShared(); }
    ~MRUStoreTest() override { MRUStore::resetShared(); }

    MRUStore& store() { return MRUStore::shared(); }
    double now() const { return fake.clock->now(); }

    FakePlatform fake;
};

TEST_F(MRUStoreTest, ScoreIsTheLaterOfItemUseAndAppActivation) {
    EXPECT_EQ(store().score("org.example.Editor::main.cpp", "org.example.Editor"),
              MRUStore::kDistantPast);

    RunningApplication editor;
    editor.bundleIdentifier = "org.example.Editor";
    store().touchApp(editor);
    const double activated = now();
    EXPECT_EQ(store().score("org.example.Editor::main.cpp", "org.example.Editor"), activated);
    EXPECT_EQ(store().score("org.example.Editor::main.cpp", std::nullopt), MRUStore::kDistantPast);

    fake.clock->advance(5);
    store().touch("org.example.Editor::main.cpp");
    EXPECT_EQ(store().score("org.example.Editor::main.cpp", "org.example.Editor"), activated + 5);
    EXPECT_EQ(store().score("windowGroup::org.example.Editor", "org.example.Editor"), activated);

    RunningApplication anonymous;
    anonymous.localizedName = "Scratch";
    store().touchApp(anonymous);
    EXPECT_EQ(store().appMap().size(), 1u) << "applications without bundle id are not recorded";
}

TEST_F(MRUStoreTest, ActivationRecordsTheFocusedWindowWhenReadable) {
    auto& editor = fake.addApp({.bundleID = "org.example.Editor", .name = "Editor"});
    fake.addWindow(editor, "main.cpp");
    store().touchApp(editor.snapshot());
    EXPECT_EQ(store().windowMap(), (MRUStore::TimeMap{{"org.example.Editor::main.cpp", now()}}));

    auto& untitled = fake.addApp({.bundleID = "org.example.Paint", .name = "Paint"});
    fake.addWindow(untitled, FakeWindow{.title = ""});
    store().touchApp(untitled.snapshot());
    EXPECT_TRUE(store().windowMap().contains("org.example.Paint::"));

    auto& windowless = fake.addApp({.bundleID = "org.example.Tray", .name = "Tray"});
    store().touchApp(windowless.snapshot());
    auto& unreadable = fake.addApp(
        {.bundleID = "org.example.Locked", .name = "Locked", .axError = AXError::cannotComplete});
    fake.addWindow(unreadable, "Secret");
    store().touchApp(unreadable.snapshot());
    EXPECT_EQ(store().windowMap().size(), 2u) << "no focused window, no window entry";
    EXPECT_EQ(store().appMap().size(), 4u);
}

TEST_F(MRUStoreTest, CapKeepsTheNewestAndEveryTieAtTheCutOff) {
    MRUStore::TimeMap map;
    for (int i = 0; i < 5; ++i)
        map["k" + std::to_string(i)] = 100 + i;
    MRUStore::cap(map, 3);
    EXPECT_EQ(map, (MRUStore::TimeMap{{"k2", 102}, {"k3", 103}, {"k4", 104}}));

    MRUStore::TimeMap tied{{"a", 1}, {"b", 2}, {"c", 2}, {"d", 3}};
    MRUStore::cap(tied, 2);
    EXPECT_EQ(tied, (MRUStore::TimeMap{{"b", 2}, {"c", 2}, {"d", 3}}));

    MRUStore::TimeMap all{{"a", 1}};
    MRUStore::cap(all, 0);
    EXPECT_EQ(all.size(), 1u) << "a limit of 0 cuts at the distant past";
}

TEST_F(MRUStoreTest, The501stKeyDropsTheOldestUnlessItTies) {
    store().touch("oldest");
    fake.clock->advance(1);
    for (int i = 0; i < 499; ++i) {
        store().touch("key" + std::to_string(i));
        fake.clock->advance(1);
    }
    EXPECT_EQ(store().windowMap().size(), 500u);
    store().touch("newest");
    EXPECT_EQ(store().windowMap().size(), 500u);
    EXPECT_FALSE(store().windowMap().contains("oldest"));

    MRUStore::resetShared();
    fake.defaults->remove(MRUStore::kWindowKey);
    store().touch("twin1");
    store().touch("twin2");  // same virtual instant
    fake.clock->advance(1);
    for (int i = 0; i < 499; ++i) {
        store().touch("key" + std::to_string(i));
        fake.clock->advance(1);
    }
    EXPECT_EQ(store().windowMap().size(), 501u) << "both ties at the cut-off stay";
}

TEST_F(MRUStoreTest, TouchesAreSavedOnceHalfASecondAfterTheLast) {
    const int before = fake.defaults->writeCount();
    store().touch("a");
    fake.dispatch->advance(0.2);
    store().touch("b");
    fake.dispatch->advance(0.49);
    EXPECT_EQ(fake.defaults->writeCount(), before);
    fake.dispatch->advance(0.02);
    EXPECT_EQ(fake.defaults->writeCount(), before + 2) << "one save: both maps";
    auto saved = fake.defaults->dictionary(MRUStore::kWindowKey);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->size(), 2u);
    EXPECT_EQ(saved->at("b").asDate()->secondsSince1970, now() - 0.51);
}

TEST_F(MRUStoreTest, ARestartRestoresTheOrder) {
    store().touch("first");
    fake.clock->advance(1);
    store().touch("second");
    fake.dispatch->advance(1);
    MRUStore::resetShared();
    EXPECT_GT(store().score("second", std::nullopt), store().score("first", std::nullopt));
    EXPECT_NE(store().score("first", std::nullopt), MRUStore::kDistantPast);
}

TEST_F(MRUStoreTest, StoredDataOfTheWrongShapeIsIgnored) {
    fake.defaults->set(MRUStore::kWindowKey,
                       PropertyDictionary{{"good", Date{5}}, {"bad", PropertyValue("yesterday")}});
    fake.defaults->set(MRUStore::kAppKey, PropertyValue(PropertyArray{PropertyValue(1)}));
    EXPECT_TRUE(store().windowMap().empty());
    EXPECT_TRUE(store().appMap().empty());

    MRUStore::resetShared();
    fake.defaults->set(MRUStore::kWindowKey, PropertyDictionary{{"good", Date{5}}});
    EXPECT_EQ(store().windowMap(), (MRUStore::TimeMap{{"good", 5}}));
}

}  // namespace
}  // namespace vantlo
