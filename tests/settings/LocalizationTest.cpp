#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "settings/Localization.h"
#include "support/ScopedEnvironment.h"
#include "support/TemporaryFolder.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

using testing::ScopedEnvironment;
using testing::TemporaryFolder;

constexpr const char* kShippedTables = VANTLO_SOURCE_DIR "/po";

class LocalizationTest : public ::testing::Test {
  protected:
    LocalizationTest() {
        environment_.locale("en_US.UTF-8");
        Localization::setResourcesPath(kShippedTables);
        Localization::resetShared();
        postsObserver_ = fake_.notifications->addObserver(
            Localization::languageChangedNotification, [this](const Notification&) { ++posts_; });
    }
    ~LocalizationTest() override {
        Localization::resetShared();
        Localization::setResourcesPath("");
    }

    ScopedEnvironment environment_;
    FakePlatform fake_;
    int posts_ = 0;
    Subscription postsObserver_;
};

TEST_F(LocalizationTest, NothingStoredFollowsTheSystemWithoutWritingOrPosting) {
    environment_.locale("zh_CN.UTF-8");
    auto& localization = Localization::shared();
    EXPECT_EQ(localization.language(), AppLanguage::system);
    EXPECT_EQ(localization.tableLanguageCode(), "zh-Hans");
    EXPECT_EQ(localized("Left"), "左侧");
    EXPECT_EQ(fake_.defaults->writeCount(), 0);
    EXPECT_EQ(posts_, 0);
}

TEST_F(LocalizationTest, StoredLanguageWinsOverTheSystem) {
    fake_.defaults->set(Localization::languageKey, "simplifiedChinese");
    EXPECT_EQ(Localization::shared().language(), AppLanguage::simplifiedChinese);
    EXPECT_EQ(localizedFormat("%d open tabs", {4}), "4 个标签页");
    EXPECT_EQ(AppLanguages::displayName(AppLanguage::system), "跟随系统");
    EXPECT_EQ(AppLanguages::displayName(AppLanguage::english), "English") << "never translated";
}

TEST_F(LocalizationTest, UnknownStoredValueMeansSystemAndStaysStored) {
    fake_.defaults->set(Localization::languageKey, "Simplified Chinese");
    EXPECT_EQ(Localization::shared().language(), AppLanguage::system);
    EXPECT_EQ(fake_.defaults->string(Localization::languageKey), "Simplified Chinese");
    EXPECT_EQ(fake_.defaults->writeCount(), 1) << "only the test's own write";
}

TEST_F(LocalizationTest, ForcedLanguageWithoutItsTableUsesTheSystemChoice) {
    TemporaryFolder onlyChinese;
    std::filesystem::copy_file(std::string(kShippedTables) + "/zh-Hans.po",
                               onlyChinese.path() / "zh-Hans.po");
    Localization::setResourcesPath(onlyChinese.path().string());
    environment_.locale("zh_CN.UTF-8");
    fake_.defaults->set(Localization::languageKey, "english");
    auto& localization = Localization::shared();
    EXPECT_EQ(localization.language(), AppLanguage::english);
    EXPECT_EQ(localization.tableLanguageCode(), "zh-Hans");
    EXPECT_EQ(localized("Right"), "右侧");
}

TEST_F(LocalizationTest, NoTablesAtAllShowEnglish) {
    Localization::setResourcesPath("/nonexistent");
    environment_.locale("zh_CN.UTF-8");
    EXPECT_EQ(localized("Left"), "Left");
    EXPECT_EQ(localizedFormat("%d open tabs", {2}), "2 open tabs");
    EXPECT_EQ(Localization::shared().tableLanguageCode(), "en");
}

TEST_F(LocalizationTest, ChangingLanguageWritesSwitchesThenPosts) {
    auto& localization = Localization::shared();
    std::string seenStored;
    std::string seenText;
    auto observer = fake_.notifications->addObserver(
        Localization::languageChangedNotification, [&](const Notification&) {
            seenStored = *fake_.defaults->string("Vantlo.AppLanguage");
            seenText = localized("Wide");
        });
    localization.setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(posts_, 1);
    EXPECT_EQ(seenStored, "simplifiedChinese") << "written before the notification";
    EXPECT_EQ(seenText, "宽") << "the new table is in use when observers hear of it";
    EXPECT_EQ(localization.tableLanguageCode(), "zh-Hans");

    localization.setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(posts_, 1) << "picking the current language again posts nothing";
    EXPECT_EQ(fake_.defaults->writeCount(), 1) << "and writes nothing";

    localization.setLanguage(AppLanguage::english);
    EXPECT_EQ(localized("Wide"), "Wide");
    localization.setLanguage(AppLanguage::system);
    EXPECT_EQ(fake_.defaults->string("Vantlo.AppLanguage"), "system");
    EXPECT_EQ(posts_, 3);
}

TEST_F(LocalizationTest, TextWithoutTranslationShowsInEnglish) {
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(localized("A text nobody translated"), "A text nobody translated");
    EXPECT_EQ(localizedFormat("%@ is new", {"Vantlo"}), "Vantlo is new");
}

TEST_F(LocalizationTest, LookupsFromOtherThreadsWhileTheLanguageChanges) {
    auto& localization = Localization::shared();
    std::atomic<bool> done = false;
    std::atomic<int> unexpected = 0;
    std::vector<std::thread> readers;
    for (int i = 0; i < 3; ++i) {
        readers.emplace_back([&] {
            while (!done) {
                auto text = localization.lookup("Left");
                if (text != "Left" && text != "左侧")
                    ++unexpected;
            }
        });
    }
    for (int i = 0; i < 50; ++i)
        localization.setLanguage(i % 2 ? AppLanguage::english : AppLanguage::simplifiedChinese);
    done = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(unexpected, 0);
}

TEST(AppLanguage, RawValuesAreExact) {
    for (auto language : AppLanguages::allCases())
        EXPECT_EQ(AppLanguages::fromRawValue(AppLanguages::rawValue(language)), language);
    EXPECT_EQ(AppLanguages::fromRawValue("English"), std::nullopt);
    EXPECT_EQ(AppLanguages::fromRawValue(""), std::nullopt);
    EXPECT_EQ(AppLanguages::allCases().front(), AppLanguage::system);
}

}  // namespace
}  // namespace vantlo
