#pragma once
// The observable state behind one showing of the switcher panel: the query, the selection, the
// open group, the ranked lists and the items being closed. The panel controller creates one per
// showing and drives it; the switcher view renders it and re-renders when a published field is
// about to change. Main thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

#include "model/RowCloseState.h"
#include "model/SwitchItem.h"
#include "platform/SubscriberList.h"
#include "switcher/MatchIndex.h"

namespace vantlo {

class SearchViewModel : public std::enable_shared_from_this<SearchViewModel> {
  public:
    // The published fields, named in change notifications.
    enum class Field {
        query,
        selectedIndex,
        searchActive,
        activeTabGroup,
        activeWindowGroup,
        enterPulse,
        items,
        closingKeys,
    };
    using WillChange = std::function<void(Field)>;
    // The bundle identifiers of the applications running as user applications; asked once per
    // default list rather than once per application row.
    using RunningUserApps = std::function<std::unordered_set<std::string>()>;

    // How long a closed item's row shows the closing state.
    static constexpr double kClosingDuration = 2.8;

    static std::shared_ptr<SearchViewModel> create(
        std::vector<SwitchItem> items, bool showsInactiveAppsInDefaultList,
        RunningUserApps runningUserApps = defaultRunningUserApps());
    // The system's own answer, used when none is given.
    static RunningUserApps defaultRunningUserApps();

    SearchViewModel(const SearchViewModel&) = delete;
    SearchViewModel& operator=(const SearchViewModel&) = delete;

    // Observers are called before a published field changes, in the order they were added.
    // The observer stays while the Subscription lives.
    Subscription addWillChangeObserver(WillChange observer);

    // Published fields.
    const std::string& query() const { return query_; }
    // Also moves the selection to the top, engages on a non-empty query and drops the caches.
    void setQuery(std::string query);
    // Text typed or committed by an input method while the panel holds the keyboard: appended
    // to the query, as setQuery does. `deleteBackward` removes the query's last character.
    void insertText(const std::string& text);
    void deleteBackward();
    int selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(int index);
    bool searchActive() const { return searchActive_; }
    void setSearchActive(bool active);
    const std::optional<TabGroupItem>& activeTabGroup() const { return activeTabGroup_; }
    const std::optional<WindowGroupItem>& activeWindowGroup() const { return activeWindowGroup_; }
    int enterPulse() const { return enterPulse_; }
    void setEnterPulse(int pulse);
    const std::vector<SwitchItem>& items() const { return items_; }
    const std::set<std::string>& closingKeys() const { return closingKeys_; }

    // Plain fields.
    bool keyboardClaimed() const { return keyboardClaimed_; }
    void setKeyboardClaimed(bool claimed) { keyboardClaimed_ = claimed; }
    bool engaged() const { return engaged_; }
    void setEngaged(bool engaged) { engaged_ = engaged; }
    bool showsInactiveAppsInDefaultList() const { return showsInactiveAppsInDefaultList_; }

    // Callbacks the controller installs: choosing a row (commit or click), cancelling the
    // showing, and a row's close control.
    using ItemCallback = std::function<void(const SwitchItem&)>;
    const ItemCallback& onSelect() const { return onSelect_; }
    void setOnSelect(ItemCallback callback) { onSelect_ = std::move(callback); }
    const std::function<void()>& onCancel() const { return onCancel_; }
    void setOnCancel(std::function<void()> callback) { onCancel_ = std::move(callback); }
    const ItemCallback& onClose() const { return onClose_; }
    void setOnClose(ItemCallback callback) { onClose_ = std::move(callback); }

    // Replaces the list during a showing, keeping the open group and the selection.
    void updateItems(std::vector<SwitchItem> items);

    // The main list for the current query. Valid until the next change of query or items.
    const std::vector<SwitchItem>& filtered();
    // The tabs of a tab group, or the windows of a window group, for the current query.
    const std::vector<TabItem>& filteredTabs(const TabGroupItem& group);
    const std::vector<WindowItem>& filteredWindows(const WindowGroupItem& group);

    // The list on screen: the open group's detail list, else the main list.
    int visibleCount();
    // The highlighted entry of that list (tabs and windows wrapped as items), at the selected
    // index clamped into the list; nothing when the list is empty.
    std::optional<SwitchItem> selectedItem();
    bool isInDetailView() const { return activeTabGroup_ || activeWindowGroup_; }
    // Hands the highlighted entry to `onSelect`.
    void commit();

    void openTabGroup(const SwitchItem& item, bool engage);
    void closeTabGroup();
    void openWindowGroup(const SwitchItem& item, bool engage);
    void closeWindowGroup();

    // Shows `item`'s row as closing for kClosingDuration seconds after the latest call.
    void markClosing(const SwitchItem& item);
    RowCloseState closeState(const SwitchItem& item) const;

    // The caches, readable for inspection.
    const std::optional<std::string>& cachedFilteredQuery() const { return cachedFilteredQuery_; }
    const std::optional<std::string>& cachedTabsQuery() const { return cachedTabsQuery_; }
    const std::optional<Uuid>& cachedTabsGroupID() const { return cachedTabsGroupID_; }
    const std::optional<std::string>& cachedWindowsQuery() const { return cachedWindowsQuery_; }
    const std::optional<Uuid>& cachedWindowsGroupID() const { return cachedWindowsGroupID_; }

  private:
    SearchViewModel(std::vector<SwitchItem> items, bool showsInactiveAppsInDefaultList,
                    RunningUserApps runningUserApps);

    void willChange(Field field);
    void clearCachedQueries();
    std::vector<SwitchItem> defaultList() const;
    std::vector<SwitchItem> searchResults();
    MatchIndex& tabIndex(const TabGroupItem& group);
    MatchIndex& windowIndex(const WindowGroupItem& group);
    void removeClosingKey(const std::string& key, std::uint64_t mark);

    // Published.
    std::string query_;
    int selectedIndex_ = 0;
    bool searchActive_ = false;
    std::optional<TabGroupItem> activeTabGroup_;
    std::optional<WindowGroupItem> activeWindowGroup_;
    int enterPulse_ = 0;
    std::vector<SwitchItem> items_;
    std::set<std::string> closingKeys_;

    ItemCallback onSelect_;
    std::function<void()> onCancel_;
    ItemCallback onClose_;

    bool keyboardClaimed_ = false;
    bool engaged_ = false;
    const bool showsInactiveAppsInDefaultList_;
    RunningUserApps runningUserApps_;

    std::optional<std::string> cachedFilteredQuery_;
    std::vector<SwitchItem> cachedFilteredResult_;
    std::optional<std::string> cachedTabsQuery_;
    std::optional<Uuid> cachedTabsGroupID_;
    std::vector<TabItem> cachedTabsResult_;
    std::optional<std::string> cachedWindowsQuery_;
    std::optional<Uuid> cachedWindowsGroupID_;
    std::vector<WindowItem> cachedWindowsResult_;

    // Prepared search text, built on first use and kept until the items change.
    std::unique_ptr<MatchIndex> itemsIndex_;
    std::unique_ptr<MatchIndex> tabsIndex_;
    Uuid tabsIndexGroupID_;
    std::unique_ptr<MatchIndex> windowsIndex_;
    Uuid windowsIndexGroupID_;
    std::vector<MatchIndex::Ranked> ranked_;

    // The latest mark of each closing key; only the removal scheduled by it takes effect.
    std::map<std::string, std::uint64_t> closingMarks_;
    std::uint64_t nextMark_ = 0;

    SubscriberList<WillChange> observers_;
};

}  // namespace vantlo
