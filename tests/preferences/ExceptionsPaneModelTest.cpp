#include "discovery/IgnoreFilter.h"
#include "preferences/ExceptionsPaneModel.h"
#include "preferences/PreferencesTestBase.h"

namespace vantlo {
namespace {

using List = ExceptionsPaneModel::PatternList;
using ExceptionsPaneModelTest = PreferencesTest;

TEST_F(ExceptionsPaneModelTest, PatternsAreTrimmedAndSpacesAloneCannotBeAdded) {
    ExceptionsPaneModel pane;
    pane.setPending(List::windowTitles, " \t ");
    EXPECT_FALSE(pane.canAdd(List::windowTitles));
    EXPECT_FALSE(pane.add(List::windowTitles));
    pane.setPending(List::windowTitles, "\t ^Untitled.* ");
    EXPECT_TRUE(pane.canAdd(List::windowTitles));
    EXPECT_TRUE(pane.add(List::windowTitles));
    EXPECT_EQ(pane.pending(List::windowTitles), "") << "the field clears after adding";
    EXPECT_EQ(IgnoreFilter::ignoredWindowRegex(), std::vector<std::string>{"^Untitled.*"});
    EXPECT_TRUE(IgnoreFilter::ignoredAppRegex().empty()) << "the other list is untouched";
}

TEST_F(ExceptionsPaneModelTest, TheSamePatternTwiceIsListedTwiceAndRemovedTogether) {
    int announcements = 0;
    Subscription observer = fake_.notifications->addObserver(
        IgnoreFilter::kChangedNotification, [&](const Notification&) { ++announcements; });
    ExceptionsPaneModel pane;
    for (const char* text : {"Helper", "Daemon", "Helper"}) {
        pane.setPending(List::appNames, text);
        ASSERT_TRUE(pane.add(List::appNames)) << text;
    }
    EXPECT_EQ(pane.patterns(List::appNames),
              (std::vector<std::string>{"Helper", "Daemon", "Helper"}));
    pane.removePattern(List::appNames, "Helper");
    EXPECT_EQ(IgnoreFilter::ignoredAppRegex(), std::vector<std::string>{"Daemon"});
    EXPECT_EQ(announcements, 4);
}

TEST_F(ExceptionsPaneModelTest, AnInvalidPatternIsExplainedAndNeverStored) {
    ExceptionsPaneModel pane;
    struct Case {
        std::string pattern;
        std::string explanation;
    };
    for (const Case& c :
         {Case{"(Untitled", "a parenthesis is not closed or not opened"},
          Case{"[abc", "a bracket is not closed"}, Case{"*Untitled", "nothing to repeat"}}) {
        pane.setPending(List::windowTitles, c.pattern);
        EXPECT_FALSE(pane.add(List::windowTitles)) << c.pattern;
        ASSERT_TRUE(pane.problem(List::windowTitles)) << c.pattern;
        EXPECT_NE(pane.problem(List::windowTitles)->find(c.explanation), std::string::npos)
            << c.pattern << ": " << *pane.problem(List::windowTitles);
        EXPECT_EQ(pane.pending(List::windowTitles), c.pattern) << "the text stays to be fixed";
    }
    EXPECT_TRUE(pane.patterns(List::windowTitles).empty());
    EXPECT_FALSE(fake_.defaults->object(IgnoreFilter::kWindowRegexKey).has_value());
    pane.setPending(List::windowTitles, "(Untitled)");
    EXPECT_FALSE(pane.problem(List::windowTitles)) << "typing clears the explanation";
}

TEST_F(ExceptionsPaneModelTest, BundleIDsAddOnceAndRemovingTheDefaultsStoresAnEmptyList) {
    ExceptionsPaneModel pane;
    auto defaults = pane.ignoredBundleIDs();
    EXPECT_EQ(defaults, fake_.facts().defaultIgnoredBundleIDs);
    EXPECT_TRUE(pane.addBundleID("org.gnome.Calculator"));
    EXPECT_FALSE(pane.addBundleID("org.gnome.Calculator")) << "already listed";
    EXPECT_FALSE(pane.addBundleID(""));
    auto all = pane.ignoredBundleIDs();
    for (const auto& id : all)
        pane.removeBundleID(id);
    EXPECT_TRUE(IgnoreFilter::ignoredAppBundleIDs().empty())
        << "an empty stored list stays empty; the defaults do not come back";
}

}  // namespace
}  // namespace vantlo
