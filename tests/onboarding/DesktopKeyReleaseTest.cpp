#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "input/HotkeyStore.h"
#include "onboarding/DesktopKeyRelease.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct DesktopKeyReleaseTest : ::testing::Test {
    FakePlatform fake{FakePlatform::Facts::linux};
    fs::path folder =
        fs::temp_directory_path() /
        ("vantlo-release-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::path rc = folder / "rc.xml";
    std::string original =
        "<openbox_config>\n<keyboard>\n  <keybind key=\"W-e\"/>\n"
        "  <keybind key=\"A-Tab\"><action name=\"NextWindow\"/></keybind>\n"
        "</keyboard>\n</openbox_config>\n";

    DesktopKeyReleaseTest() {
        fs::create_directories(folder);
        std::ofstream(rc) << original;
    }
    ~DesktopKeyReleaseTest() override { fs::remove_all(folder); }
};

TEST_F(DesktopKeyReleaseTest, OpenboxIsFreedRememberedAndGivenBackThroughTheSettings) {
    fake.processes->setProgramResult("openbox", {0, ""});
    std::optional<DesktopKeyRelease::Outcome> freed;
    DesktopKeyRelease::freeAltTab({DesktopKind::openbox, rc.string()},
                                  [&](const DesktopKeyRelease::Outcome& o) { freed = o; });
    fake.dispatch->runUntilIdle();
    ASSERT_TRUE(freed && freed->ok) << (freed ? freed->message : "no outcome");
    EXPECT_EQ(read(rc).find("A-Tab"), std::string::npos) << read(rc);
    EXPECT_NE(read(rc).find("W-e"), std::string::npos);
    EXPECT_TRUE(DesktopKeyRelease::hasFreed());
    EXPECT_EQ(DesktopKeyRelease::freedDesktopName(), "Openbox");

    std::optional<DesktopKeyRelease::Outcome> givenBack;
    DesktopKeyRelease::giveBack([&](const DesktopKeyRelease::Outcome& o) { givenBack = o; });
    fake.dispatch->runUntilIdle();
    ASSERT_TRUE(givenBack && givenBack->ok) << (givenBack ? givenBack->message : "no outcome");
    EXPECT_EQ(read(rc), original) << "the binding is back where it was";
    EXPECT_FALSE(DesktopKeyRelease::hasFreed()) << "forgotten once given back";
}

TEST_F(DesktopKeyReleaseTest, FailuresSayWhatWentWrong) {
    // openbox --reconfigure cannot run: the file was changed, so it is remembered all the same.
    auto outcome = std::optional<DesktopKeyRelease::Outcome>();
    DesktopKeyRelease::freeAltTab({DesktopKind::openbox, rc.string()},
                                  [&](const DesktopKeyRelease::Outcome& o) { outcome = o; });
    fake.dispatch->runUntilIdle();
    ASSERT_TRUE(outcome);
    EXPECT_FALSE(outcome->ok);
    EXPECT_NE(outcome->message.find("openbox --reconfigure"), std::string::npos)
        << outcome->message;
    EXPECT_TRUE(DesktopKeyRelease::hasFreed());

    fake.defaults->remove(DesktopKeyRelease::kRecordKey);
    PropertyDictionary record;
    auto again = DesktopKeyRelease::freeNow({DesktopKind::openbox, rc.string()}, record);
    EXPECT_FALSE(again.ok);
    EXPECT_NE(again.message.find("no Alt+Tab binding in Openbox"), std::string::npos)
        << again.message;
    auto missing = DesktopKeyRelease::freeNow({DesktopKind::gnome, {}}, record);
    EXPECT_NE(missing.message.find("could not run gsettings"), std::string::npos)
        << missing.message;

    EXPECT_TRUE(DesktopKeyRelease::canFree(DesktopKind::xfce, HotkeyStore::current()));
    EXPECT_FALSE(DesktopKeyRelease::canFree(DesktopKind::unknown, HotkeyStore::current()));
    EXPECT_FALSE(DesktopKeyRelease::canFree(DesktopKind::gnome, HotkeyConfig{40, 0x1800}))
        << "only Alt+Tab is a desktop's binding Vantlo knows where to find";
}

}  // namespace
}  // namespace vantlo
