#pragma once
// Owns one showing of the switcher at a time: builds the list, creates the view model, puts the
// panel on screen, turns key, modifier, click and pointer events into model operations, commits
// the chosen item when Option is released, closes items, refreshes the list while the panel
// stays up, and takes everything down again. Main thread only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/ShortcutStore.h"
#include "platform/EventMonitors.h"
#include "platform/NotificationCenter.h"
#include "switcher/PanelPresenter.h"
#include "switcher/SearchViewModel.h"

namespace vantlo {

class SwitcherPanelController : public std::enable_shared_from_this<SwitcherPanelController> {
  public:
    // How long an application quit from the panel stays out of the list.
    static constexpr double kRecentlyClosedAppWindow = 8.0;
    static constexpr double kHideAfterCommitDelay = 0.08;
    // Grace around the panel within which a click does not dismiss it.
    static constexpr double kClickMargin = 8.0;
    static constexpr double kFreshWindowsMaxAge = 3.0;

    // Where the test showing writes its lines (standard output by default).
    using LineWriter = std::function<void(const std::string& line)>;

    static std::shared_ptr<SwitcherPanelController> create(
        std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors,
        LineWriter writeLine = {});
    ~SwitcherPanelController();

    // A press of the activation hot key: summon, or move the highlight one row down.
    void forward();
    // The test showing with fixture items: nothing is activated or closed, choices are printed.
    void showTestPanel(std::vector<SwitchItem> items, int selectedIndex);
    void hide();

    // The list a showing starts from.
    std::vector<SwitchItem> buildItems();
    bool isRecentlyClosedApp(const std::string& bundleID);

    bool isShowing() const { return panelShowing_; }
    std::shared_ptr<SearchViewModel> viewModel() const { return viewModel_; }
    bool suppressCommitOnOptionRelease() const { return suppressCommitOnOptionRelease_; }

  private:
    SwitcherPanelController(std::shared_ptr<PanelPresenter> presenter,
                            std::shared_ptr<EventMonitors> monitors, LineWriter writeLine);
    void observeShortcutChanges();

    void show(int initialOffset);
    void installCallbacks(const std::shared_ptr<SearchViewModel>& model);
    void showPanel(const std::shared_ptr<SearchViewModel>& model, int itemCount);
    void refreshInBackground(const std::shared_ptr<SearchViewModel>& model);
    void advance(int by);
    bool shouldPreferFrontmostBrowserTabs();
    std::optional<SwitchItem> preferredFrontmostBrowserTabGroup(
        const std::vector<SwitchItem>& items);
    bool onboardingSuppressesCommit() const;

    bool handleKeyDown(const KeyEvent& event, const ShortcutTable& bindings);
    void handleFlagsChanged(std::uint64_t flags);
    void handleLocalMouseDown(const MouseDownEvent& event);
    void handleGlobalMouseDown();
    bool isAwayFromPanel(Point location) const;

    void closeCurrentItem();
    void closeItem(const std::shared_ptr<SearchViewModel>& model, const SwitchItem& item);
    void scheduleClosePropagationRefresh(const std::shared_ptr<SearchViewModel>& model,
                                         const SwitchItem& closedItem);
    void propagateClose(const std::shared_ptr<SearchViewModel>& model,
                        const SwitchItem& closedItem);

    void installKeyMonitor();
    void installFlagsMonitors();
    void installClickMonitors();
    void installMouseMovedMonitor();
    void removeMonitors();
    void removeMonitor(std::optional<EventMonitors::Token>& token);

    std::shared_ptr<PanelPresenter> presenter_;
    std::shared_ptr<EventMonitors> monitors_;
    LineWriter writeLine_;

    bool panelShowing_ = false;
    std::optional<EventMonitors::Token> keyMonitor_;
    std::optional<EventMonitors::Token> localFlagsMonitor_;
    std::optional<EventMonitors::Token> globalFlagsMonitor_;
    ObserverRegistration shortcutsChangedObserver_;
    std::optional<EventMonitors::Token> globalClickMonitor_;
    std::optional<EventMonitors::Token> localClickMonitor_;
    std::optional<EventMonitors::Token> mouseMovedMonitor_;
    std::shared_ptr<SearchViewModel> viewModel_;
    bool suppressCommitOnOptionRelease_ = false;
    std::map<std::string, double> recentlyClosedAppBundles_;
};

}  // namespace vantlo
