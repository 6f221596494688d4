#include <gtest/gtest.h>

#include "settings/Localization.h"
#include "settings/PanelSettings.h"
#include "settings/PrefColors.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class PanelSettingsTest : public ::testing::Test {
  protected:
    PanelSettingsTest() {
        postsObserver_ = fake_.notifications->addObserver(
            PanelSettings::changedNotification, [this](const Notification&) { ++posts_; });
    }

    FakePlatform fake_;
    int posts_ = 0;
    Subscription postsObserver_;
};

TEST_F(PanelSettingsTest, FreshInstallReadsTheDefaults) {
    EXPECT_EQ(PanelSettings::edge(), PanelEdge::right);
    EXPECT_EQ(PanelSettings::width(), PanelWidth::normal);
    EXPECT_EQ(PanelWidths::windowWidth(PanelSettings::width()), 354);
    EXPECT_EQ(PanelWidths::contentWidth(PanelSettings::width()), 340);
    EXPECT_EQ(PanelFontSizes::scale(PanelSettings::fontSize()), 1.0);
    EXPECT_EQ(PanelSettings::display(), PanelDisplay::pointer);
    EXPECT_TRUE(PanelSettings::showAppsWithoutWindows());
    EXPECT_TRUE(PanelSettings::preferBrowserTabsWhenFrontmost());
    EXPECT_EQ(fake_.defaults->writeCount(), 0) << "reading writes nothing";
}

TEST_F(PanelSettingsTest, OnlyExactRawValuesCountAndMalformedValuesStayStored) {
    const std::vector<std::pair<PropertyValue, PanelEdge>> edges{{"left", PanelEdge::left},
                                                                 {"Left", PanelEdge::right},
                                                                 {" left", PanelEdge::right},
                                                                 {1, PanelEdge::right},
                                                                 {Data{{'l'}}, PanelEdge::right}};
    for (const auto& [stored, expected] : edges) {
        fake_.defaults->set(PanelSettings::edgeKey, stored);
        EXPECT_EQ(PanelSettings::edge(), expected)
            << "stored " << (stored.asString() ? *stored.asString() : "a non-string");
    }
    fake_.defaults->set(PanelSettings::widthKey, "huge");
    fake_.defaults->set(PanelSettings::fontSizeKey, "Large");
    fake_.defaults->set(PanelSettings::displayKey, "Main");
    int writes = fake_.defaults->writeCount();
    EXPECT_EQ(PanelSettings::width(), PanelWidth::normal);
    EXPECT_EQ(PanelSettings::fontSize(), PanelFontSize::normal);
    EXPECT_EQ(PanelSettings::display(), PanelDisplay::pointer);
    EXPECT_EQ(fake_.defaults->writeCount(), writes);
    EXPECT_EQ(fake_.defaults->string(PanelSettings::widthKey), "huge");

    fake_.defaults->set(PanelSettings::widthKey, "wide");
    fake_.defaults->set(PanelSettings::fontSizeKey, "small");
    fake_.defaults->set(PanelSettings::displayKey, "main");
    EXPECT_EQ(PanelSettings::width(), PanelWidth::wide);
    EXPECT_EQ(PanelSettings::fontSize(), PanelFontSize::small);
    EXPECT_EQ(PanelSettings::display(), PanelDisplay::main);
}

TEST_F(PanelSettingsTest, BooleansAcceptNumbersZeroAndOneButNotStrings) {
    const std::vector<std::pair<PropertyValue, bool>> cases{
        {false, false}, {0, false},  {0.0, false}, {1, true},      {true, true},
        {"NO", true},   {"0", true}, {2, true},    {Data{}, true}, {PropertyArray{}, true}};
    for (const auto& [stored, expected] : cases) {
        fake_.defaults->set(PanelSettings::showAppsWithoutWindowsKey, stored);
        fake_.defaults->set(PanelSettings::preferBrowserTabsWhenFrontmostKey, stored);
        auto shown = stored.asString() ? "string " + *stored.asString()
                                       : std::to_string(stored.storage().index());
        EXPECT_EQ(PanelSettings::showAppsWithoutWindows(), expected) << "stored " << shown;
        EXPECT_EQ(PanelSettings::preferBrowserTabsWhenFrontmost(), expected) << "stored " << shown;
    }
}

TEST_F(PanelSettingsTest, EverySetterWritesThenPostsEvenWhenUnchanged) {
    bool storedWhenPosted = false;
    auto observer = fake_.notifications->addObserver(
        PanelSettings::changedNotification, [&](const Notification&) {
            storedWhenPosted = fake_.defaults->string(PanelSettings::widthKey) == "normal";
        });
    PanelSettings::setWidth(PanelWidth::normal);
    EXPECT_TRUE(storedWhenPosted) << "the value is written before the notification";
    PanelSettings::setWidth(PanelWidth::normal);
    EXPECT_EQ(posts_, 2) << "setting the current value posts again";

    PanelSettings::setEdge(PanelEdge::left);
    PanelSettings::setFontSize(PanelFontSize::large);
    PanelSettings::setDisplay(PanelDisplay::main);
    PanelSettings::setShowAppsWithoutWindows(false);
    PanelSettings::setPreferBrowserTabsWhenFrontmost(false);
    EXPECT_EQ(posts_, 7);
    EXPECT_EQ(fake_.defaults->string(PanelSettings::edgeKey), "left");
    EXPECT_EQ(fake_.defaults->string(PanelSettings::fontSizeKey), "large");
    EXPECT_EQ(fake_.defaults->string(PanelSettings::displayKey), "main");
    EXPECT_EQ(fake_.defaults->object(PanelSettings::showAppsWithoutWindowsKey),
              PropertyValue(false))
        << "booleans are stored as booleans";
    EXPECT_FALSE(PanelSettings::preferBrowserTabsWhenFrontmost());
    EXPECT_EQ(PanelSettings::edge(), PanelEdge::left);
}

TEST(PanelEnumerations, RawValuesSizesAndOrder) {
    EXPECT_EQ(PanelWidths::allCases(),
              (std::vector<PanelWidth>{PanelWidth::compact, PanelWidth::normal, PanelWidth::wide}));
    const std::vector<std::tuple<PanelWidth, double, double>> widths{
        {PanelWidth::compact, 290, 304},
        {PanelWidth::normal, 340, 354},
        {PanelWidth::wide, 400, 414}};
    for (const auto& [width, content, window] : widths) {
        EXPECT_EQ(PanelWidths::contentWidth(width), content) << PanelWidths::rawValue(width);
        EXPECT_EQ(PanelWidths::windowWidth(width), window) << PanelWidths::rawValue(width);
        EXPECT_EQ(PanelWidths::fromRawValue(PanelWidths::rawValue(width)), width);
    }
    EXPECT_EQ(PanelFontSizes::scale(PanelFontSize::small), 0.9);
    EXPECT_EQ(PanelFontSizes::scale(PanelFontSize::large), 1.16);
    for (auto size : PanelFontSizes::allCases())
        EXPECT_EQ(PanelFontSizes::fromRawValue(PanelFontSizes::rawValue(size)), size);
    for (auto edge : PanelEdges::allCases())
        EXPECT_EQ(PanelEdges::fromRawValue(PanelEdges::rawValue(edge)), edge);
    for (auto display : PanelDisplays::allCases())
        EXPECT_EQ(PanelDisplays::fromRawValue(PanelDisplays::rawValue(display)), display);
    EXPECT_EQ(PanelDisplays::rawValue(PanelDisplay::pointer), "pointer");
    EXPECT_EQ(PanelWidths::fromRawValue("Normal"), std::nullopt) << "case-sensitive";
    EXPECT_EQ(PanelEdges::fromRawValue(""), std::nullopt);
    EXPECT_EQ(PrefColors::card, (RgbaColor{1, 1, 1, 0.08}));
}

TEST(PanelEnumerations, TitlesFollowTheInterfaceLanguage) {
    FakePlatform fake;
    Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
    Localization::resetShared();
    Localization::shared().setLanguage(AppLanguage::english);
    EXPECT_EQ(PanelDisplays::title(PanelDisplay::pointer), "Screen with Pointer");
    EXPECT_EQ(PanelWidths::title(PanelWidth::normal), "Normal");
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_EQ(PanelEdges::title(PanelEdge::left), "左侧");
    EXPECT_EQ(PanelWidths::title(PanelWidth::wide), "宽");
    EXPECT_NE(PanelFontSizes::title(PanelFontSize::large), "Large");
    EXPECT_NE(PanelDisplays::title(PanelDisplay::main), "Main Display");
    Localization::resetShared();
    Localization::setResourcesPath("");
}

}  // namespace
}  // namespace vantlo
