#include <gtest/gtest.h>

#include "input/ShortcutStore.h"
#include "settings/Localization.h"
#include "switcher/SearchViewModel.h"
#include "switcher/ShowcaseDesktop.h"
#include "switcher/layout/BoundaryHints.h"
#include "switcher/layout/EmptyState.h"
#include "switcher/layout/FooterHints.h"
#include "switcher/layout/GuideCard.h"
#include "switcher/layout/SwitcherMetrics.h"
#include "switcher/layout/SwitcherViewState.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

class SwitcherContentTest : public ::testing::Test {
  protected:
    SwitcherContentTest() {
        Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
        Localization::resetShared();
        Localization::shared().setLanguage(AppLanguage::english);
    }
    ~SwitcherContentTest() override {
        Localization::resetShared();
        Localization::setResourcesPath("");
    }

    static std::vector<std::string> texts(const std::vector<FooterHint>& hints) {
        std::vector<std::string> result;
        for (const auto& hint : hints)
            result.push_back(hint.key + " " + hint.label);
        return result;
    }

    FakePlatform fake_;
};

TEST_F(SwitcherContentTest, FooterNamesTheKeysOfEachState) {
    const FooterBindings keys = FooterHints::bindings(ShortcutStore::allResolved());
    EXPECT_EQ(texts(FooterHints::hints({false, false, false}, keys)),
              (std::vector<std::string>{"↩ Search", "⇥/⌥S Move", "⌥Q Desk", "⌥⎋ Close"}));
    EXPECT_EQ(texts(FooterHints::hints({false, false, true}, keys)),
              (std::vector<std::string>{"↩ Search", "⇥/⌥S Move", "⌥D In", "⌥Q Desk", "⌥⎋ Close"}));
    // In a group "Back" replaces "In", whatever is selected.
    EXPECT_EQ(
        texts(FooterHints::hints({false, true, true}, keys)),
        (std::vector<std::string>{"↩ Search", "⇥/⌥S Move", "⌥A Back", "⌥Q Desk", "⌥⎋ Close"}));
    EXPECT_EQ(texts(FooterHints::hints({true, true, false}, keys)),
              (std::vector<std::string>{"A-Z Type", "⇥/↓ Move", "↩ Open", "⌥⎋ Close"}));
}

TEST_F(SwitcherContentTest, FooterFollowsARebindingAndTheLanguage) {
    ShortcutStore::set(HotkeyConfig{3, CarbonModifiers::option}, ShortcutAction::search);
    FooterBindings keys = FooterHints::bindings(ShortcutStore::allResolved());
    EXPECT_EQ(FooterHints::hints({}, keys).front().key, "⌥F");
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    EXPECT_NE(FooterHints::hints({}, keys).front().label, "Search");
}

TEST_F(SwitcherContentTest, FooterAndCloseTooltipWriteKeysInWordsOnLinux) {
    const FooterBindings keys =
        FooterHints::bindings(ShortcutStore::allResolved(), KeyLabelStyle::words);
    EXPECT_EQ(texts(FooterHints::hints({false, false, true}, keys)),
              (std::vector<std::string>{"Return Search", "Tab/Alt+S Move", "Alt+D In", "Alt+Q Desk",
                                        "Alt+Esc Close"}));
    EXPECT_EQ(
        texts(FooterHints::hints({true, false, false}, keys)),
        (std::vector<std::string>{"A-Z Type", "Tab/Down Move", "Return Open", "Alt+Esc Close"}));
    EXPECT_EQ(FooterHints::closeTooltip(keys), "Close (Alt+X)");
    const FooterBindings glyphs =
        FooterHints::bindings(ShortcutStore::allResolved(), KeyLabelStyle::glyphs);
    EXPECT_EQ(FooterHints::closeTooltip(glyphs), "Close (⌥X)");
    ShortcutStore::set(HotkeyConfig{KeyCode::x, CarbonModifiers::control},
                       ShortcutAction::closeSelected);
    EXPECT_EQ(FooterHints::closeTooltip(
                  FooterHints::bindings(ShortcutStore::allResolved(), KeyLabelStyle::words)),
              "Close (Ctrl+X)")
        << "the tooltip names the key that closes";
}

TEST_F(SwitcherContentTest, EmptyStatesExplainWhyNothingShows) {
    EXPECT_FALSE(EmptyState::make(true, 3, "", true));
    auto locked = EmptyState::make(false, 0, "", false);
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked->symbol, "lock.shield");
    EXPECT_EQ(locked->title, "No windows or tabs available");
    EXPECT_EQ(locked->hint,
              "Enable Accessibility for Vantlo in System Settings → Privacy & Security.");
    EXPECT_EQ(EmptyState::make(false, 0, "", true)->hint,
              "Grant Automation access when prompted, then re-open Vantlo.");
    auto noMatch = EmptyState::make(true, 0, "zzq", true);
    ASSERT_TRUE(noMatch);
    EXPECT_EQ(noMatch->symbol, "magnifyingglass");
    EXPECT_EQ(noMatch->title, "No matches for \"zzq\"");
    EXPECT_TRUE(noMatch->hint.empty());
}

TEST(SwitcherContentLinux,
     TheEmptyStateAsksForTheWindowManagerAndTheBrowserExtensionInEachLanguage) {
    FakePlatform linux(FakePlatform::Facts::linux);
    Localization::setResourcesPath(VANTLO_SOURCE_DIR "/po");
    Localization::resetShared();
    Localization::shared().setLanguage(AppLanguage::english);
    const std::string english =
        "Add the Vantlo Tabs extension to your browser to list its tabs: run vantlo browser "
        "install for the steps.";
    EXPECT_EQ(EmptyState::make(false, 0, "", true)->hint, english);
    // No windows at all on Linux means no window manager runs: nothing to enable.
    const std::string noWindowManager =
        "Start your desktop's window manager (for example openbox, xfwm4, marco or kwin_x11).";
    EXPECT_EQ(EmptyState::make(false, 0, "", false)->hint, noWindowManager);
    Localization::shared().setLanguage(AppLanguage::simplifiedChinese);
    auto hint = EmptyState::make(false, 0, "", true)->hint;
    EXPECT_NE(hint, english) << "translated";
    EXPECT_NE(hint.find("vantlo browser install"), std::string::npos) << hint;
    auto untrusted = EmptyState::make(false, 0, "", false)->hint;
    EXPECT_NE(untrusted, noWindowManager) << "translated";
    EXPECT_NE(untrusted.find("openbox"), std::string::npos) << untrusted;
    Localization::resetShared();
    Localization::setResourcesPath("");
}

TEST_F(SwitcherContentTest, BoundaryHintsCountTheHiddenRows) {
    BoundaryHints middle = BoundaryHints::make({15, 26}, 40);
    EXPECT_EQ(middle.above, "15 above");
    EXPECT_EQ(middle.below, "14 below");
    BoundaryHints top = BoundaryHints::make({0, 11}, 25);
    EXPECT_FALSE(top.above);
    EXPECT_EQ(top.below, "14 below");
    BoundaryHints bottom = BoundaryHints::make({14, 25}, 25);
    EXPECT_EQ(bottom.above, "14 above");
    EXPECT_FALSE(bottom.below);
}

TEST_F(SwitcherContentTest, GuideCardShowsOnlyDuringThePanelStages) {
    for (auto stage : OnboardingStages::allCases()) {
        const bool expected = stage == OnboardingStage::panelBasics ||
                              stage == OnboardingStage::movement ||
                              stage == OnboardingStage::actions;
        EXPECT_EQ(GuideCard::isShown(stage), expected) << OnboardingStages::name(stage);
    }
    const GuideCardContent idle = GuideCard::content(OnboardingStage::idle, true, false);
    EXPECT_TRUE(idle.title.empty());
    EXPECT_TRUE(idle.keys.empty());
}

TEST_F(SwitcherContentTest, GuideCardTextsKeysAndDotsFollowTheStage) {
    const auto basics = GuideCard::content(OnboardingStage::panelBasics, true, false);
    EXPECT_EQ(basics.title, "This is the switcher");
    EXPECT_EQ(basics.keys, (std::vector<GuideKeyCap>{{"⌥", true}, {"⇥", true}}));
    EXPECT_EQ(basics.caption, "summons the panel");
    EXPECT_EQ(basics.dots, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(basics.nextLabel, "Next");
    EXPECT_EQ(basics.skipLabel, "Skip");

    const auto empty = GuideCard::content(OnboardingStage::movement, false, false);
    EXPECT_EQ(empty.title, "No windows yet");
    EXPECT_EQ(
        empty.keys,
        (std::vector<GuideKeyCap>{
            {"W", false}, {"A", false}, {"S", false}, {"D", false}, {"↩", true}, {"⎋", false}}));
    const auto moving = GuideCard::content(OnboardingStage::movement, true, false);
    EXPECT_EQ(moving.title, "Move through the list");
    EXPECT_EQ(moving.keys.size(), 4u);
    EXPECT_TRUE(moving.keys[0].pulses);

    const auto actions = GuideCard::content(OnboardingStage::actions, true, true);
    EXPECT_EQ(actions.title, "Action keys");
    EXPECT_NE(actions.detail.find("A to go back"), std::string::npos);
    EXPECT_EQ(actions.keys, (std::vector<GuideKeyCap>{{"Q", true}, {"X", true}, {"⎋", false}}));
    EXPECT_EQ(actions.dots, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(actions.nextLabel, "Done");

    // Where keys are written in words the caps and the texts name Alt.
    const auto linuxBasics =
        GuideCard::content(OnboardingStage::panelBasics, true, false, KeyLabelStyle::words);
    EXPECT_EQ(linuxBasics.keys, (std::vector<GuideKeyCap>{{"Alt", true}, {"Tab", true}}));
    EXPECT_EQ(linuxBasics.detail.find("Option"), std::string::npos) << linuxBasics.detail;
    EXPECT_NE(linuxBasics.detail.find("Hold Alt"), std::string::npos) << linuxBasics.detail;
    EXPECT_EQ(
        GuideCard::content(OnboardingStage::movement, false, false, KeyLabelStyle::words).keys,
        (std::vector<GuideKeyCap>{{"W", false},
                                  {"A", false},
                                  {"S", false},
                                  {"D", false},
                                  {"Return", true},
                                  {"Esc", false}}));
    for (bool detail : {false, true}) {
        const auto linuxActions =
            GuideCard::content(OnboardingStage::actions, true, detail, KeyLabelStyle::words);
        EXPECT_EQ(linuxActions.detail.rfind("While holding Alt", 0), 0u) << linuxActions.detail;
        EXPECT_EQ(linuxActions.keys.back().label, "Esc");
    }
    EXPECT_NE(
        GuideCard::content(OnboardingStage::actions, true, false).detail.find("Q for Desktop"),
        std::string::npos);
}

TEST_F(SwitcherContentTest, ViewStateMirrorsTheModelInEachMode) {
    auto model = SearchViewModel::create(ShowcaseDesktop::defaultVisibleItems(), true, {});
    SwitcherViewState main = SwitcherViewState::from(*model);
    EXPECT_EQ(main.mode, SwitcherViewState::Mode::mainList);
    EXPECT_EQ(main.visibleCount(), model->visibleCount());
    EXPECT_TRUE(main.hasItems);
    EXPECT_FALSE(main.floatingActive());

    int groupIndex = -1;
    for (int i = 0; i < main.visibleCount(); ++i)
        if (main.rows[i].tabGroup() && groupIndex < 0)
            groupIndex = i;
    ASSERT_GE(groupIndex, 0);
    model->setSelectedIndex(groupIndex);
    EXPECT_TRUE(SwitcherViewState::from(*model).selectedIsGroup());

    model->openTabGroup(main.rows[groupIndex], false);
    SwitcherViewState tabs = SwitcherViewState::from(*model);
    EXPECT_EQ(tabs.mode, SwitcherViewState::Mode::tabGroup);
    EXPECT_TRUE(tabs.isInDetailView());
    EXPECT_EQ(tabs.groupName, main.rows[groupIndex].tabGroup()->appName);
    ASSERT_FALSE(tabs.rows.empty());
    EXPECT_TRUE(tabs.rows.front().tab());

    model->closeTabGroup();
    model->setQuery("qqqzzz");
    SwitcherViewState none = SwitcherViewState::from(*model);
    EXPECT_TRUE(none.rows.empty());
    EXPECT_TRUE(none.floatingActive());
    EXPECT_FALSE(none.clampedSelection());
}

TEST_F(SwitcherContentTest, WindowGroupsOfNineteenUseTheWindowedList) {
    for (int count : {18, 19}) {
        auto model = SearchViewModel::create({ShowcaseDesktop::largeWindowGroup(count)}, true, {});
        model->openWindowGroup(model->items().front(), false);
        EXPECT_EQ(SwitcherViewState::from(*model).usesWindowedList(), count >= 19)
            << "windows " << count;
    }
}

TEST(SwitcherMetrics, SizesFollowTheFontScale) {
    const SwitcherMetrics large(1.16);
    EXPECT_DOUBLE_EQ(large.titleSize(RowKind::window), 13.4 * 1.16);
    EXPECT_DOUBLE_EQ(large.titleSize(RowKind::tab), 12.8 * 1.16);
    EXPECT_DOUBLE_EQ(large.subtitleSize(), 11.2 * 1.16);
    EXPECT_DOUBLE_EQ(large.closeButtonSide(), 20 * 1.16);
    EXPECT_DOUBLE_EQ(SwitcherMetrics(0.9).groupTitleSize(), 22 * 0.9);
    EXPECT_DOUBLE_EQ(SwitcherMetrics(1.0).highlightWidth(300), 258);
    EXPECT_DOUBLE_EQ(SwitcherMetrics(1.0).highlightWidth(500), 344);
}

}  // namespace
}  // namespace vantlo
