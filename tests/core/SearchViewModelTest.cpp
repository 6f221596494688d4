#include <gtest/gtest.h>

#include "switcher/SearchViewModel.h"
#include "testing/FakePlatform.h"

namespace vantlo {
namespace {

WindowItem window(std::string app, std::optional<std::string> bundle, std::string title) {
    WindowItem w;
    w.id = Uuid::random();
    w.appName = std::move(app);
    w.appBundleID = std::move(bundle);
    w.title = std::move(title);
    return w;
}

TabItem tab(std::string title, std::string url, std::int64_t index, bool active = false) {
    TabItem t;
    t.id = Uuid::random();
    t.browserBundleID = "com.google.Chrome";
    t.browserAppName = "Google Chrome";
    t.title = std::move(title);
    t.url = std::move(url);
    t.windowIndex = 1;
    t.tabIndex = index;
    t.isActiveInFrontWindow = active;
    return t;
}

TabGroupItem tabGroup(std::vector<TabItem> tabs) {
    TabGroupItem g;
    g.id = Uuid::random();
    g.browserBundleID = "com.google.Chrome";
    g.appName = "Google Chrome";
    g.tabs = std::move(tabs);
    return g;
}

WindowGroupItem windowGroup(std::vector<std::string> titles) {
    WindowGroupItem g;
    g.id = Uuid::random();
    g.appBundleID = "com.apple.finder";
    g.appName = "Finder";
    for (auto& title : titles)
        g.windows.push_back(window("Finder", "com.apple.finder", title));
    return g;
}

AppItem app(std::string name, std::string bundle) {
    AppItem a;
    a.id = Uuid::random();
    a.name = std::move(name);
    a.bundleID = std::move(bundle);
    a.path = "/Applications/" + a.name + ".app";
    return a;
}

std::vector<std::string> titles(const std::vector<SwitchItem>& items) {
    std::vector<std::string> result;
    for (const auto& item : items)
        result.push_back(item.title());
    return result;
}

template <class Element>
std::vector<std::string> titlesOf(const std::vector<Element>& elements) {
    std::vector<std::string> result;
    for (const auto& element : elements)
        result.push_back(element.title);
    return result;
}

std::unordered_set<std::string> onlyMailRuns() {
    return {"com.apple.mail"};
}

class SearchViewModelTest : public ::testing::Test {
  protected:
    std::shared_ptr<SearchViewModel> make(std::vector<SwitchItem> items,
                                          bool showsInactive = false) {
        return SearchViewModel::create(std::move(items), showsInactive, onlyMailRuns);
    }

    FakePlatform fake;
};

TEST_F(SearchViewModelTest, DefaultListHidesTabsGroupedWindowsAndAppsNotRunning) {
    std::vector<SwitchItem> items = {
        window("Finder", "com.apple.finder", "Home"),
        window("Terminal", "com.apple.Terminal", "zsh"),
        tab("Docs", "https://docs.example.org/", 1),
        SwitchItem(windowGroup({"Home", "Downloads"})),
        window("Scratch", std::nullopt, "notes"),
        app("Mail", "com.apple.mail"),
        app("Maps", "com.apple.Maps"),
        SwitchItem(tabGroup({tab("Docs", "https://docs.example.org/", 1)})),
    };
    auto model = make(items);
    EXPECT_EQ(titles(model->filtered()),
              (std::vector<std::string>{"zsh", "Finder", "notes", "Mail", "Google Chrome"}));

    auto showingAll = make(items, true);
    EXPECT_EQ(
        titles(showingAll->filtered()),
        (std::vector<std::string>{"zsh", "Finder", "notes", "Mail", "Maps", "Google Chrome"}));
}

TEST_F(SearchViewModelTest, ByDefaultAnAppCountsAsRunningWhenTheSystemRunsIt) {
    fake.addApp(
        {.bundleID = "com.apple.mail", .name = "Mail", .bundlePath = "/Applications/Mail.app"});
    auto model = SearchViewModel::create(
        {app("Mail", "com.apple.mail"), app("Maps", "com.apple.Maps")}, false);
    EXPECT_EQ(titles(model->filtered()), (std::vector<std::string>{"Mail"}));
}

TEST_F(SearchViewModelTest, SearchRanksEverythingWithFieldWeights) {
    std::vector<SwitchItem> items = {
        window("Finder", "com.apple.finder", "Home"),
        tab("Welcome", "https://ab.example/", 1),  // only the address matches "ab"
        SwitchItem(windowGroup({"ab"})),
        app("ab", "org.example.ab"),              // 46 * 0.95 = 43.7
        window("xab", "org.example.x", "other"),  // 27
        app("Maps", "com.apple.Maps"),
    };
    auto model = make(items);
    model->setQuery("ab");
    EXPECT_EQ(titles(model->filtered()), (std::vector<std::string>{"ab", "other", "Welcome"}))
        << "app 43, window 27, tab 46 * 0.6 = 27 after the window";

    model->setQuery("tabs");
    std::vector<SwitchItem> groups = {SwitchItem(tabGroup({tab("A", "https://a/", 1)})),
                                      SwitchItem(tabGroup({tab("B", "https://b/", 1)}))};
    auto groupModel = make(groups);
    groupModel->setQuery("tabs");
    EXPECT_EQ(groupModel->filtered().size(), 2u) << "every tab group matches \"chrome tabs\"";
}

TEST_F(SearchViewModelTest, TypingEngagesAndAnEmptyResultSelectsNothing) {
    auto model = make({window("Terminal", "com.apple.Terminal", "zsh"),
                       window("Editor", "org.example.Editor", "main.cpp")});
    int selected = 0;
    model->setOnSelect([&](const SwitchItem&) { ++selected; });
    model->setSelectedIndex(1);
    EXPECT_FALSE(model->engaged());
    model->setQuery("m");
    EXPECT_TRUE(model->engaged());
    EXPECT_EQ(model->selectedIndex(), 0);

    model->setQuery("qqq");
    EXPECT_TRUE(model->filtered().empty());
    EXPECT_EQ(model->visibleCount(), 0);
    EXPECT_EQ(model->selectedItem(), std::nullopt);
    model->commit();
    EXPECT_EQ(selected, 0);
}

TEST_F(SearchViewModelTest, SelectionIsClampedWhenReadButNotRewritten) {
    auto first = window("Terminal", "com.apple.Terminal", "zsh");
    auto last = window("Editor", "org.example.Editor", "main.cpp");
    auto model = make({first, last});
    std::vector<SwitchItem> chosen;
    model->setOnSelect([&](const SwitchItem& item) { chosen.push_back(item); });

    model->setSelectedIndex(7);
    EXPECT_EQ(model->selectedItem(), SwitchItem(last));
    model->commit();
    model->setSelectedIndex(-3);
    EXPECT_EQ(model->selectedItem(), SwitchItem(first));
    EXPECT_EQ(model->selectedIndex(), -3);
    model->commit();
    EXPECT_EQ(chosen, (std::vector<SwitchItem>{SwitchItem(last), SwitchItem(first)}));
}

TEST_F(SearchViewModelTest, ReopenedTabGroupSelectsActiveTab) {
    auto group = tabGroup({tab("One", "https://one/", 1), tab("Two", "https://two/", 2, true),
                           tab("Three", "https://three/", 3)});
    auto finder = windowGroup({"Home", "Downloads"});
    auto model = make({SwitchItem(group), SwitchItem(finder)});
    model->setSearchActive(true);
    model->setQuery("o");

    model->openTabGroup(SwitchItem(window("Terminal", "com.apple.Terminal", "zsh")), true);
    EXPECT_FALSE(model->activeTabGroup()) << "only a tab group opens";
    EXPECT_EQ(model->query(), "o");

    model->openTabGroup(SwitchItem(group), false);
    EXPECT_TRUE(model->isInDetailView());
    EXPECT_EQ(model->query(), "");
    EXPECT_FALSE(model->searchActive());
    EXPECT_EQ(model->selectedIndex(), 1);
    EXPECT_EQ(model->selectedItem(), SwitchItem(group.tabs[1]));
    model->setSelectedIndex(2);
    model->closeTabGroup();
    EXPECT_FALSE(model->isInDetailView());
    EXPECT_EQ(model->selectedIndex(), 0);
    model->openTabGroup(SwitchItem(group), false);
    EXPECT_EQ(model->selectedIndex(), 1);
    model->closeTabGroup();

    model->openWindowGroup(SwitchItem(finder), false);
    EXPECT_EQ(model->selectedIndex(), 0);
    EXPECT_EQ(model->selectedItem(), SwitchItem(finder.windows[0]));
    EXPECT_EQ(model->visibleCount(), 2);
}

TEST_F(SearchViewModelTest, OpeningAGroupEngagesOnlyWhenAsked) {
    auto group = tabGroup({tab("One", "https://one/", 1)});
    auto model = make({SwitchItem(group)});
    model->openTabGroup(SwitchItem(group), false);
    EXPECT_FALSE(model->engaged());
    model->closeTabGroup();
    model->openTabGroup(SwitchItem(group), true);
    EXPECT_TRUE(model->engaged());
}

TEST_F(SearchViewModelTest, DetailListsSearchTheirOwnFieldsAndCacheTheResult) {
    auto group = tabGroup({tab("Inbox", "https://mail.example.com/", 1),
                           tab("News", "https://www.news.example/", 2),
                           tab("Mailing list", "https://lists.example.org/", 3)});
    auto model = make({SwitchItem(group)});
    model->openTabGroup(SwitchItem(group), false);
    EXPECT_EQ(titlesOf(model->filteredTabs(group)),
              (std::vector<std::string>{"Inbox", "News", "Mailing list"}));

    model->setQuery("mail");
    const auto& tabs = model->filteredTabs(group);
    EXPECT_EQ(titlesOf(tabs), (std::vector<std::string>{"Mailing list", "Inbox"}));
    EXPECT_EQ(model->cachedTabsQuery(), "mail");
    EXPECT_EQ(model->cachedTabsGroupID(), group.id);
    EXPECT_EQ(&model->filteredTabs(group), &tabs) << "a repeated read is the cached list";

    model->setQuery("s://www");
    EXPECT_EQ(model->cachedTabsQuery(), std::nullopt) << "a query change drops the caches";
    EXPECT_EQ(titlesOf(model->filteredTabs(group)), (std::vector<std::string>{"News"}))
        << "the detail list matches the address as stored";

    auto finder = windowGroup({"Downloads", "Home", "Documents"});
    model->closeTabGroup();
    model->openWindowGroup(SwitchItem(finder), false);
    model->setQuery("do");
    EXPECT_EQ(titlesOf(model->filteredWindows(finder)),
              (std::vector<std::string>{"Downloads", "Documents"}));
    EXPECT_EQ(model->cachedWindowsGroupID(), finder.id);
}

TEST_F(SearchViewModelTest, RefreshWhileTabGroupOpenReselectsActiveTab) {
    auto group = tabGroup({tab("One", "https://one/", 1, true), tab("Two", "https://two/", 2)});
    auto model = make({SwitchItem(group)});
    model->openTabGroup(SwitchItem(group), false);
    EXPECT_EQ(model->selectedIndex(), 0);

    auto refreshed = tabGroup({tab("One", "https://one/", 1), tab("Two", "https://two/", 2),
                               tab("Three", "https://three/", 3, true)});
    model->updateItems({SwitchItem(refreshed)});
    EXPECT_EQ(model->activeTabGroup()->id, refreshed.id);
    EXPECT_EQ(model->selectedIndex(), 2);

    model->setKeyboardClaimed(true);
    model->setSelectedIndex(1);
    auto again = tabGroup({tab("One", "https://one/", 1, true), tab("Two", "https://two/", 2),
                           tab("Three", "https://three/", 3)});
    model->updateItems({SwitchItem(again)});
    EXPECT_EQ(model->selectedIndex(), 1) << "the keyboard's choice stays";

    model->updateItems({SwitchItem(window("Terminal", "com.apple.Terminal", "zsh"))});
    EXPECT_EQ(model->activeTabGroup()->id, again.id) << "the old group stays when none replaces it";
}

TEST_F(SearchViewModelTest, UpdateItemsClampsSelectionAndDropsCaches) {
    auto model = make({window("A", "a", "1"), window("B", "b", "2"), window("C", "c", "3")});
    model->setSelectedIndex(2);
    EXPECT_EQ(model->filtered().size(), 3u);
    model->updateItems({window("A", "a", "1"), window("B", "b", "2")});
    EXPECT_EQ(titles(model->filtered()), (std::vector<std::string>{"1", "2"}))
        << "the cached list was dropped";
    EXPECT_EQ(model->selectedIndex(), 1);
    model->setSelectedIndex(1);
    model->updateItems({window("A", "a", "1"), window("B", "b", "2"), window("D", "d", "4")});
    EXPECT_EQ(model->selectedIndex(), 1) << "a longer list keeps the selection";
    model->updateItems({});
    EXPECT_EQ(model->selectedIndex(), 0);

    auto finder = windowGroup({"Home", "Downloads", "Music"});
    model->updateItems({SwitchItem(finder)});
    model->openWindowGroup(SwitchItem(finder), false);
    model->setSelectedIndex(2);
    auto smaller = windowGroup({"Home"});
    model->updateItems({SwitchItem(smaller)});
    EXPECT_EQ(model->activeWindowGroup()->id, smaller.id);
    EXPECT_EQ(model->selectedIndex(), 0);
}

TEST_F(SearchViewModelTest, ClosingStateLastsTwoPointEightSeconds) {
    auto terminal = SwitchItem(window("Terminal", "com.apple.Terminal", "zsh"));
    auto model = make({terminal});
    model->markClosing(terminal);
    EXPECT_EQ(model->closingKeys(), (std::set<std::string>{"com.apple.Terminal::zsh"}));
    EXPECT_EQ(model->closeState(terminal), RowCloseState::closing);

    fake.dispatch->advance(2.0);
    model->markClosing(terminal);  // closed again: the second close keeps it closing
    fake.dispatch->advance(0.9);
    EXPECT_EQ(model->closeState(terminal), RowCloseState::closing);
    fake.dispatch->advance(1.85);
    EXPECT_EQ(model->closeState(terminal), RowCloseState::closing);
    fake.dispatch->advance(0.05);
    EXPECT_EQ(model->closeState(terminal), RowCloseState::none);

    model->markClosing(terminal);
    std::weak_ptr<SearchViewModel> weak = model;
    model.reset();
    EXPECT_TRUE(weak.expired()) << "pending work does not keep the model";
    fake.dispatch->advance(3.0);
}

TEST_F(SearchViewModelTest, ObserversHearBeforeEachPublishedChange) {
    auto model = make({window("Terminal", "com.apple.Terminal", "zsh")});
    std::vector<std::pair<SearchViewModel::Field, std::string>> heard;
    auto observer = model->addWillChangeObserver(
        [&](SearchViewModel::Field field) { heard.emplace_back(field, model->query()); });
    model->setQuery("z");
    using Field = SearchViewModel::Field;
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ(heard[0], std::make_pair(Field::query, std::string())) << "told before the change";
    EXPECT_EQ(heard[1].first, Field::selectedIndex);

    heard.clear();
    observer.reset();
    model->setEnterPulse(model->enterPulse() + 1);
    EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace vantlo
