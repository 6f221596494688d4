#include "switcher/SearchViewModel.h"

#include <algorithm>
#include <unordered_set>

#include "discovery/AppActivator.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

template <class Element>
std::optional<std::size_t> firstActiveTab(const std::vector<Element>& tabs) {
    for (std::size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i].isActiveInFrontWindow)
            return i;
    }
    return std::nullopt;
}

std::size_t clampedIndex(int index, std::size_t count) {
    if (index < 0)
        return 0;
    return std::min(static_cast<std::size_t>(index), count - 1);
}

}  // namespace

std::shared_ptr<SearchViewModel> SearchViewModel::create(std::vector<SwitchItem> items,
                                                         bool showsInactiveAppsInDefaultList,
                                                         RunningUserApps runningUserApps) {
    return std::shared_ptr<SearchViewModel>(new SearchViewModel(
        std::move(items), showsInactiveAppsInDefaultList, std::move(runningUserApps)));
}

SearchViewModel::SearchViewModel(std::vector<SwitchItem> items, bool showsInactiveAppsInDefaultList,
                                 RunningUserApps runningUserApps)
    : items_(std::move(items)),
      showsInactiveAppsInDefaultList_(showsInactiveAppsInDefaultList),
      runningUserApps_(std::move(runningUserApps)) {}

SearchViewModel::RunningUserApps SearchViewModel::defaultRunningUserApps() {
    return [] { return AppActivator::runningUserAppIDs(); };
}

Subscription SearchViewModel::addWillChangeObserver(WillChange observer) {
    return observers_.add(std::move(observer));
}

void SearchViewModel::willChange(Field field) {
    // An observer may add or remove observers while being told.
    observers_.forEach([field](const WillChange& observer) { observer(field); });
}

void SearchViewModel::insertText(const std::string& text) {
    if (!text.empty())
        setQuery(query_ + text);
}

void SearchViewModel::deleteBackward() {
    if (query_.empty())
        return;
    // Back over UTF-8 continuation bytes to the start of the last character.
    std::size_t end = query_.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(query_[end]) & 0xC0) == 0x80)
        --end;
    setQuery(query_.substr(0, end));
}

void SearchViewModel::setQuery(std::string query) {
    willChange(Field::query);
    query_ = std::move(query);
    setSelectedIndex(0);
    if (!query_.empty())
        engaged_ = true;
    clearCachedQueries();
}

void SearchViewModel::setSelectedIndex(int index) {
    willChange(Field::selectedIndex);
    selectedIndex_ = index;
}

void SearchViewModel::setSearchActive(bool active) {
    willChange(Field::searchActive);
    searchActive_ = active;
}

void SearchViewModel::setEnterPulse(int pulse) {
    willChange(Field::enterPulse);
    enterPulse_ = pulse;
}

void SearchViewModel::clearCachedQueries() {
    cachedFilteredQuery_.reset();
    cachedTabsQuery_.reset();
    cachedWindowsQuery_.reset();
}

void SearchViewModel::updateItems(std::vector<SwitchItem> items) {
    willChange(Field::items);
    items_ = std::move(items);
    itemsIndex_.reset();
    tabsIndex_.reset();
    windowsIndex_.reset();

    if (activeTabGroup_) {
        for (const SwitchItem& item : items_) {
            const TabGroupItem* group = item.tabGroup();
            if (group && group->browserBundleID == activeTabGroup_->browserBundleID) {
                willChange(Field::activeTabGroup);
                activeTabGroup_ = *group;
                break;
            }
        }
        if (query_.empty() && !keyboardClaimed_) {
            if (auto active = firstActiveTab(activeTabGroup_->tabs))
                setSelectedIndex(static_cast<int>(*active));
        }
    }
    if (activeWindowGroup_) {
        for (const SwitchItem& item : items_) {
            const WindowGroupItem* group = item.windowGroup();
            if (group && group->appBundleID == activeWindowGroup_->appBundleID) {
                willChange(Field::activeWindowGroup);
                activeWindowGroup_ = *group;
                break;
            }
        }
    }
    clearCachedQueries();
    int last = std::max(visibleCount() - 1, 0);
    if (selectedIndex_ > last)
        setSelectedIndex(last);
}

const std::vector<SwitchItem>& SearchViewModel::filtered() {
    if (cachedFilteredQuery_ == query_)
        return cachedFilteredResult_;
    cachedFilteredResult_ = query_.empty() ? defaultList() : searchResults();
    cachedFilteredQuery_ = query_;
    return cachedFilteredResult_;
}

std::vector<SwitchItem> SearchViewModel::defaultList() const {
    std::unordered_set<std::string> groupedApps;
    for (const SwitchItem& item : items_) {
        if (const WindowGroupItem* group = item.windowGroup())
            groupedApps.insert(group->appBundleID);
    }
    std::optional<std::unordered_set<std::string>> running;
    auto isRunning = [&](const std::string& bundleID) {
        if (!running)
            running = runningUserApps_ ? runningUserApps_() : std::unordered_set<std::string>{};
        return running->contains(bundleID);
    };
    std::vector<SwitchItem> list;
    for (const SwitchItem& item : items_) {
        if (item.tab())
            continue;
        const WindowItem* window = item.window();
        if (window && window->appBundleID && groupedApps.contains(*window->appBundleID))
            continue;
        const AppItem* app = item.app();
        if (app && !showsInactiveAppsInDefaultList_ && !isRunning(app->bundleID))
            continue;
        list.push_back(item);
    }
    return list;
}

std::vector<SwitchItem> SearchViewModel::searchResults() {
    if (!itemsIndex_) {
        itemsIndex_ = std::make_unique<MatchIndex>();
        itemsIndex_->reserve(items_.size(), items_.size() * 2);
        for (const SwitchItem& item : items_)
            itemsIndex_->addEntry(item.matchFields());
    }
    itemsIndex_->rank(query_, ranked_);
    std::vector<SwitchItem> result;
    result.reserve(ranked_.size());
    for (const MatchIndex::Ranked& match : ranked_)
        result.push_back(items_[match.entry]);
    return result;
}

MatchIndex& SearchViewModel::tabIndex(const TabGroupItem& group) {
    if (!tabsIndex_ || tabsIndexGroupID_ != group.id) {
        tabsIndex_ = std::make_unique<MatchIndex>();
        for (const TabItem& tab : group.tabs) {
            const MatchField fields[] = {{tab.title, 1.0}, {tab.url, 0.6}};
            tabsIndex_->addEntry(fields);
        }
        tabsIndexGroupID_ = group.id;
    }
    return *tabsIndex_;
}

MatchIndex& SearchViewModel::windowIndex(const WindowGroupItem& group) {
    if (!windowsIndex_ || windowsIndexGroupID_ != group.id) {
        windowsIndex_ = std::make_unique<MatchIndex>();
        for (const WindowItem& window : group.windows) {
            const MatchField fields[] = {{window.title, 1.0}};
            windowsIndex_->addEntry(fields);
        }
        windowsIndexGroupID_ = group.id;
    }
    return *windowsIndex_;
}

const std::vector<TabItem>& SearchViewModel::filteredTabs(const TabGroupItem& group) {
    if (cachedTabsQuery_ == query_ && cachedTabsGroupID_ == group.id)
        return cachedTabsResult_;
    std::vector<TabItem> result;
    if (query_.empty()) {
        result = group.tabs;
    } else {
        tabIndex(group).rank(query_, ranked_);
        for (const MatchIndex::Ranked& match : ranked_)
            result.push_back(group.tabs[match.entry]);
    }
    cachedTabsResult_ = std::move(result);
    cachedTabsQuery_ = query_;
    cachedTabsGroupID_ = group.id;
    return cachedTabsResult_;
}

const std::vector<WindowItem>& SearchViewModel::filteredWindows(const WindowGroupItem& group) {
    if (cachedWindowsQuery_ == query_ && cachedWindowsGroupID_ == group.id)
        return cachedWindowsResult_;
    std::vector<WindowItem> result;
    if (query_.empty()) {
        result = group.windows;
    } else {
        windowIndex(group).rank(query_, ranked_);
        for (const MatchIndex::Ranked& match : ranked_)
            result.push_back(group.windows[match.entry]);
    }
    cachedWindowsResult_ = std::move(result);
    cachedWindowsQuery_ = query_;
    cachedWindowsGroupID_ = group.id;
    return cachedWindowsResult_;
}

int SearchViewModel::visibleCount() {
    if (activeTabGroup_)
        return static_cast<int>(filteredTabs(*activeTabGroup_).size());
    if (activeWindowGroup_)
        return static_cast<int>(filteredWindows(*activeWindowGroup_).size());
    return static_cast<int>(filtered().size());
}

std::optional<SwitchItem> SearchViewModel::selectedItem() {
    if (activeTabGroup_) {
        const auto& tabs = filteredTabs(*activeTabGroup_);
        if (tabs.empty())
            return std::nullopt;
        return SwitchItem(tabs[clampedIndex(selectedIndex_, tabs.size())]);
    }
    if (activeWindowGroup_) {
        const auto& windows = filteredWindows(*activeWindowGroup_);
        if (windows.empty())
            return std::nullopt;
        return SwitchItem(windows[clampedIndex(selectedIndex_, windows.size())]);
    }
    const auto& list = filtered();
    if (list.empty())
        return std::nullopt;
    return list[clampedIndex(selectedIndex_, list.size())];
}

void SearchViewModel::commit() {
    if (!onSelect_)
        return;
    if (auto item = selectedItem())
        onSelect_(*item);
}

void SearchViewModel::openTabGroup(const SwitchItem& item, bool engage) {
    const TabGroupItem* group = item.tabGroup();
    if (!group)
        return;
    if (engage)
        engaged_ = true;
    willChange(Field::activeTabGroup);
    activeTabGroup_ = *group;
    setSearchActive(false);
    setQuery("");
    setSelectedIndex(static_cast<int>(firstActiveTab(group->tabs).value_or(0)));
}

void SearchViewModel::closeTabGroup() {
    willChange(Field::activeTabGroup);
    activeTabGroup_.reset();
    setSearchActive(false);
    setSelectedIndex(0);
    setQuery("");
}

void SearchViewModel::openWindowGroup(const SwitchItem& item, bool engage) {
    const WindowGroupItem* group = item.windowGroup();
    if (!group)
        return;
    if (engage)
        engaged_ = true;
    willChange(Field::activeWindowGroup);
    activeWindowGroup_ = *group;
    setSearchActive(false);
    setQuery("");
    setSelectedIndex(0);
}

void SearchViewModel::closeWindowGroup() {
    willChange(Field::activeWindowGroup);
    activeWindowGroup_.reset();
    setSearchActive(false);
    setSelectedIndex(0);
    setQuery("");
}

void SearchViewModel::markClosing(const SwitchItem& item) {
    std::string key = item.mruKey();
    willChange(Field::closingKeys);
    closingKeys_.insert(key);
    const std::uint64_t mark = ++nextMark_;
    closingMarks_[key] = mark;
    std::weak_ptr<SearchViewModel> weak = weak_from_this();
    platform().dispatch->asyncAfter(kClosingDuration, [weak, key, mark] {
        if (auto model = weak.lock())
            model->removeClosingKey(key, mark);
    });
}

void SearchViewModel::removeClosingKey(const std::string& key, std::uint64_t mark) {
    auto it = closingMarks_.find(key);
    // A later mark of the same item keeps the row closing for its own full duration.
    if (it == closingMarks_.end() || it->second != mark)
        return;
    closingMarks_.erase(it);
    willChange(Field::closingKeys);
    closingKeys_.erase(key);
}

RowCloseState SearchViewModel::closeState(const SwitchItem& item) const {
    return closingKeys_.contains(item.mruKey()) ? RowCloseState::closing : RowCloseState::none;
}

}  // namespace vantlo
