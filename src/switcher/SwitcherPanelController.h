#pragma once
// Owns one showing of the switcher at a time: builds the list, creates the view model, puts the
// panel on screen, turns key, modifier, click and pointer events into model operations, commits
// the chosen item when Option is released, closes items, refreshes the list while the panel
// stays up, and takes everything down again. Main thread only.
//
// What lives exactly as long as the panel is up (model, monitors, input grab) belongs to one
// SwitcherShowing; hiding is ending it.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "input/ShortcutStore.h"
#include "platform/EventMonitors.h"
#include "platform/Subscription.h"
#include "switcher/ClosePropagation.h"
#include "switcher/PanelKeyTable.h"
#include "switcher/PanelPresenter.h"
#include "switcher/SearchViewModel.h"
#include "switcher/SwitcherShowing.h"
#include "switcher/TestShowing.h"

namespace vantlo {

class SwitcherPanelController : public std::enable_shared_from_this<SwitcherPanelController> {
  public:
    // How long an application quit from the panel stays out of the list.
    static constexpr double kRecentlyClosedAppWindow = ClosePropagation::kRecentlyClosedAppWindow;
    // Grace around the panel within which a click does not dismiss it.
    static constexpr double kClickMargin = 8.0;
    static constexpr double kFreshWindowsMaxAge = 3.0;

    // Where the test showing writes its lines (standard output by default).
    using LineWriter = TestShowing::LineWriter;

    static std::shared_ptr<SwitcherPanelController> create(
        std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors,
        LineWriter writeLine = {});

    // A press of the activation hot key: summon, or move the highlight one row down.
    void forward();
    // The test showing with fixture items: nothing is activated or closed, choices are printed.
    void showTestPanel(std::vector<SwitchItem> items, int selectedIndex);
    void hide();
    // A key the panel's bindings left, while the panel holds the keyboard: its text goes into
    // the search (Delete removes the last character).
    void typeText(const KeyEvent& event);
    // A pointer event aimed at the panel that its widgets do not receive, while the panel holds
    // the pointer: hover, clicks on rows, count badges, close buttons and the back chip, and the
    // wheel over the list, decided on the panel's map of pointer targets.
    void pointerEvent(const PanelPointerEvent& event);

    // The list a showing starts from.
    std::vector<SwitchItem> buildItems();
    bool isRecentlyClosedApp(const std::string& bundleID);

    bool isShowing() const { return showing_ && showing_->isOnScreen(); }
    std::shared_ptr<SearchViewModel> viewModel() const;
    bool suppressCommitOnOptionRelease() const { return suppressCommitOnOptionRelease_; }

  private:
    SwitcherPanelController(std::shared_ptr<PanelPresenter> presenter,
                            std::shared_ptr<EventMonitors> monitors, LineWriter writeLine);
    void observeShortcutChanges();

    void show(int initialOffset);
    void installCallbacks(SearchViewModel& model);
    void present(std::shared_ptr<SearchViewModel> model, int itemCount);
    SwitcherShowing::Handlers showingHandlers();
    std::function<bool(const KeyEvent&)> keyHandler();
    PanelKeyTable::Handlers keyTableHandlers();
    void refreshInBackground(const std::shared_ptr<SwitcherShowing>& showing);
    void advance(int by);
    void moveSelection(SearchViewModel& model, int by);
    bool shouldPreferFrontmostBrowserTabs();
    std::optional<SwitchItem> preferredFrontmostBrowserTabGroup(
        const std::vector<SwitchItem>& items);
    bool onboardingSuppressesCommit() const;

    bool handleKeyDown(const KeyEvent& event, const PanelKeyTable& table);
    void handleFlagsChanged(std::uint64_t flags);
    void handleLocalMouseDown(const MouseDownEvent& event);
    void handleGlobalMouseDown(Point location);
    void handleInputRefused(const std::string& reason);
    bool isAwayFromPanel(Point location) const;

    void commitChoice(const SwitchItem& item);
    void cancel();
    void closeCurrentItem();
    void closeItem(const SwitchItem& item);

    std::shared_ptr<PanelPresenter> presenter_;
    std::shared_ptr<EventMonitors> monitors_;
    LineWriter writeLine_;
    std::shared_ptr<ClosePropagation> closes_;

    Subscription shortcutsChangedObserver_;
    std::shared_ptr<SwitcherShowing> showing_;
    bool suppressCommitOnOptionRelease_ = false;
};

}  // namespace vantlo
