#include "switcher/SwitcherPanelController.h"

#include <cstdio>

#include "browser/BrowserTabCache.h"
#include "browser/BrowserTabEnumerator.h"
#include "discovery/AppActivator.h"
#include "discovery/DesktopController.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "onboarding/OnboardingManager.h"
#include "platform/DispatchGroup.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "platform/Platform.h"
#include "settings/PanelSettings.h"
#include "switcher/ItemActions.h"
#include "switcher/SwitchListBuilder.h"

namespace vantlo {
namespace {

int wrapped(int index, int count) {
    return ((index % count) + count) % count;
}

bool isSpecialKey(std::uint32_t keyCode) {
    return KeyCode::isArrow(keyCode) || keyCode == KeyCode::returnKey || keyCode == KeyCode::tab ||
           keyCode == KeyCode::escape;
}

// A binding matches when the key and the four relevant modifiers are exactly its own; a binding
// without modifiers matches only the special keys, so plain letters stay text for the search.
bool matches(const HotkeyConfig& binding, const KeyEvent& event) {
    if (event.keyCode != binding.keyCode)
        return false;
    if (carbonFlags(event.modifierFlags) != binding.carbonModifiers)
        return false;
    return binding.carbonModifiers != 0 || isSpecialKey(event.keyCode);
}

bool holds(const KeyEvent& event, std::uint64_t flag) {
    return (event.modifierFlags & flag) != 0;
}

std::optional<std::string> frontmostBundleID() {
    auto front = platform().workspace->frontmostApplication();
    return front ? front->bundleIdentifier : std::nullopt;
}

void writeToStandardOutput(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

bool sharesApplication(const SwitchItem& item, const std::string& bundleID) {
    return item.bundleID() == bundleID;
}

}  // namespace

std::shared_ptr<SwitcherPanelController> SwitcherPanelController::create(
    std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors,
    LineWriter writeLine) {
    std::shared_ptr<SwitcherPanelController> controller(new SwitcherPanelController(
        std::move(presenter), std::move(monitors), std::move(writeLine)));
    controller->observeShortcutChanges();
    return controller;
}

SwitcherPanelController::SwitcherPanelController(std::shared_ptr<PanelPresenter> presenter,
                                                 std::shared_ptr<EventMonitors> monitors,
                                                 LineWriter writeLine)
    : presenter_(std::move(presenter)),
      monitors_(std::move(monitors)),
      writeLine_(writeLine ? std::move(writeLine) : LineWriter(writeToStandardOutput)) {}

SwitcherPanelController::~SwitcherPanelController() {
    removeMonitors();
}

void SwitcherPanelController::observeShortcutChanges() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    auto& center = *platform().notifications;
    auto token = center.addObserver(
        ShortcutStore::changedNotification,
        [weak](const Notification&) {
            auto self = weak.lock();
            if (!self || !self->panelShowing_)
                return;
            // The key handler captured the old bindings; install it afresh.
            self->removeMonitor(self->keyMonitor_);
            self->installKeyMonitor();
        },
        NotificationCenter::Delivery::mainQueue);
    shortcutsChangedObserver_ = ObserverRegistration(center, token);
}

void SwitcherPanelController::forward() {
    auto& accessibility = *platform().accessibility;
    if (!accessibility.isProcessTrusted()) {
        platform().sound->beep();
        if (!accessibility.isProcessTrusted()) {
            OnboardingManager::shared().setStage(OnboardingStage::permissions);
        }
        platform().notifications->post("Vantlo.showGuide");
        return;
    }
    if (!panelShowing_) {
        show(1);
    } else {
        advance(1);
    }
}

std::vector<SwitchItem> SwitcherPanelController::buildItems() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    SwitchListBuilder builder([weak](const std::string& bundleID) {
        auto self = weak.lock();
        return self && self->isRecentlyClosedApp(bundleID);
    });
    return builder.build();
}

bool SwitcherPanelController::isRecentlyClosedApp(const std::string& bundleID) {
    double now = platform().clock->now();
    std::erase_if(recentlyClosedAppBundles_, [now](const auto& entry) {
        return now - entry.second > kRecentlyClosedAppWindow;
    });
    return recentlyClosedAppBundles_.count(bundleID) > 0;
}

bool SwitcherPanelController::shouldPreferFrontmostBrowserTabs() {
    return PanelSettings::preferBrowserTabsWhenFrontmost() &&
           BrowserTabEnumerator::isSupportedBrowser(frontmostBundleID());
}

std::optional<SwitchItem> SwitcherPanelController::preferredFrontmostBrowserTabGroup(
    const std::vector<SwitchItem>& items) {
    if (!shouldPreferFrontmostBrowserTabs())
        return std::nullopt;
    auto front = frontmostBundleID();
    for (const auto& item : items) {
        auto* group = item.tabGroup();
        if (group && group->browserBundleID == front && group->tabs.size() >= 2)
            return item;
    }
    return std::nullopt;
}

bool SwitcherPanelController::onboardingSuppressesCommit() const {
    auto stage = OnboardingManager::shared().stage();
    return stage == OnboardingStage::panelBasics || stage == OnboardingStage::movement ||
           stage == OnboardingStage::actions;
}

void SwitcherPanelController::show(int initialOffset) {
    if (shouldPreferFrontmostBrowserTabs())
        BrowserTabCache::shared().refreshForegroundBrowserNow();
    if (WindowEnumeratorCache::shared().cached().empty())
        WindowEnumeratorCache::shared().refreshSync();
    auto items = buildItems();
    auto model = SearchViewModel::create(items, false);
    suppressCommitOnOptionRelease_ = false;
    if (items.size() >= 2) {
        model->setSelectedIndex(wrapped(initialOffset, static_cast<int>(items.size())));
    }
    installCallbacks(model);
    viewModel_ = model;
    if (auto group = preferredFrontmostBrowserTabGroup(items))
        model->openTabGroup(*group, false);
    showPanel(model, static_cast<int>(items.size()));
    auto& onboarding = OnboardingManager::shared();
    if (onboarding.stage() == OnboardingStage::summon) {
        model->setEngaged(true);
        suppressCommitOnOptionRelease_ = true;
        onboarding.panelDidShow();
    }
    refreshInBackground(model);
}

void SwitcherPanelController::installCallbacks(const std::shared_ptr<SearchViewModel>& model) {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    std::weak_ptr<SearchViewModel> weakModel = model;
    model->setOnSelect([weak](const SwitchItem& item) {
        if (!weak.lock())
            return;
        MRUStore::shared().touch(item.mruKey());
        ItemActions::activate(item);
        platform().dispatch->asyncAfter(kHideAfterCommitDelay, [weak] {
            if (auto self = weak.lock())
                self->hide();
        });
    });
    model->setOnCancel([weak] {
        auto self = weak.lock();
        if (!self)
            return;
        self->suppressCommitOnOptionRelease_ = true;
        if (self->viewModel_)
            self->viewModel_->setEngaged(true);
        self->hide();
    });
    model->setOnClose([weak, weakModel](const SwitchItem& item) {
        auto self = weak.lock();
        auto current = weakModel.lock();
        if (self && current)
            self->closeItem(current, item);
    });
}

void SwitcherPanelController::showPanel(const std::shared_ptr<SearchViewModel>& model,
                                        int itemCount) {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    std::weak_ptr<SearchViewModel> weakModel = model;
    bool shown = presenter_->showPanel(model, itemCount, [weak, weakModel] {
        auto self = weak.lock();
        // Only the panel that is still on screen gets click monitors.
        if (self && self->panelShowing_ && self->viewModel_ == weakModel.lock())
            self->installClickMonitors();
    });
    if (!shown)
        return;
    panelShowing_ = true;
    installKeyMonitor();
    installFlagsMonitors();
    installMouseMovedMonitor();
}

void SwitcherPanelController::refreshInBackground(const std::shared_ptr<SearchViewModel>& model) {
    auto group = std::make_shared<DispatchGroup>(*platform().dispatch);
    auto& windows = WindowEnumeratorCache::shared();
    if (!windows.isFresh(kFreshWindowsMaxAge)) {
        group->enter();
        windows.refreshAsync([group] { group->leave(); });
    }
    group->enter();
    auto front = frontmostBundleID();
    if (front && BrowserTabEnumerator::spec(*front)) {
        BrowserTabCache::shared().refreshAsync(*front, [group] { group->leave(); });
    } else {
        group->leave();
    }
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    std::weak_ptr<SearchViewModel> weakModel = model;
    group->notify([weak, weakModel, group] {
        auto self = weak.lock();
        auto current = weakModel.lock();
        if (self && current && self->viewModel_ == current)
            current->updateItems(self->buildItems());
    });
}

void SwitcherPanelController::advance(int by) {
    if (!viewModel_)
        return;
    int count = viewModel_->visibleCount();
    if (count < 1)
        return;
    suppressCommitOnOptionRelease_ = onboardingSuppressesCommit();
    OnboardingManager::shared().noteMove();
    viewModel_->setKeyboardClaimed(true);
    viewModel_->setSelectedIndex(wrapped(viewModel_->selectedIndex() + by, count));
}

bool SwitcherPanelController::handleKeyDown(const KeyEvent& event, const ShortcutTable& bindings) {
    auto model = viewModel_;
    if (!model)
        return false;
    if (presenter_->hasMarkedText())
        return false;
    auto bound = [&](ShortcutAction action) { return matches(bindings.at(action), event); };
    const int count = model->visibleCount();

    auto moveBy = [&](int step) {
        if (count < 1)
            return;
        suppressCommitOnOptionRelease_ = onboardingSuppressesCommit();
        model->setKeyboardClaimed(true);
        model->setSelectedIndex(wrapped(model->selectedIndex() + step, count));
    };
    if (bound(ShortcutAction::moveUp) || event.keyCode == KeyCode::upArrow) {
        moveBy(-1);
        return true;
    }
    if (bound(ShortcutAction::moveDown) || event.keyCode == KeyCode::downArrow) {
        moveBy(1);
        return true;
    }
    if (bound(ShortcutAction::back) || event.keyCode == KeyCode::leftArrow) {
        if (model->activeTabGroup()) {
            model->closeTabGroup();
        } else if (model->activeWindowGroup()) {
            model->closeWindowGroup();
        } else {
            return false;
        }
        return true;
    }
    if (bound(ShortcutAction::enterGroup) || event.keyCode == KeyCode::rightArrow) {
        if (model->isInDetailView())
            return true;
        const auto& list = model->filtered();
        int index = model->selectedIndex();
        if (index >= 0 && index < static_cast<int>(list.size())) {
            SwitchItem item = list[index];
            if (item.tabGroup())
                model->openTabGroup(item, false);
            if (item.windowGroup())
                model->openWindowGroup(item, false);
        }
        return true;
    }
    if (bound(ShortcutAction::desktop)) {
        DesktopController::showDesktop();
        hide();
        return true;
    }
    if (event.keyCode == KeyCode::tab) {
        advance(holds(event, ModifierFlags::shift) ? -1 : 1);
        return true;
    }
    const bool shiftControlOrCommand = holds(event, ModifierFlags::shift) ||
                                       holds(event, ModifierFlags::control) ||
                                       holds(event, ModifierFlags::command);
    if ((event.keyCode == KeyCode::escape && !shiftControlOrCommand) ||
        bound(ShortcutAction::cancel)) {
        suppressCommitOnOptionRelease_ = true;
        model->setEngaged(true);
        hide();
        return true;
    }
    if (bound(ShortcutAction::closeSelected)) {
        closeCurrentItem();
        return true;
    }
    const bool enterKey =
        (event.keyCode == KeyCode::returnKey || event.keyCode == KeyCode::keypadEnter) &&
        !shiftControlOrCommand;
    if (model->searchActive() && (bound(ShortcutAction::openSelected) || enterKey)) {
        model->setEnterPulse(model->enterPulse() + 1);
        model->commit();
        return true;
    }
    if (!model->searchActive() && (bound(ShortcutAction::search) || enterKey)) {
        model->setEnterPulse(model->enterPulse() + 1);
        model->setSearchActive(true);
        model->setEngaged(true);
        return true;
    }
    return false;
}

void SwitcherPanelController::handleFlagsChanged(std::uint64_t flags) {
    if ((flags & ModifierFlags::option) != 0 || !viewModel_)
        return;
    if (suppressCommitOnOptionRelease_) {
        suppressCommitOnOptionRelease_ = false;
        hide();
    } else if (!viewModel_->engaged()) {
        viewModel_->commit();
    }
}

bool SwitcherPanelController::isAwayFromPanel(Point location) const {
    auto frame = presenter_->panelFrame();
    if (!panelShowing_ || !frame)
        return true;
    Rect grown{frame->x - kClickMargin, frame->y - kClickMargin, frame->width + 2 * kClickMargin,
               frame->height + 2 * kClickMargin};
    // The grown frame's far edges count as inside.
    return !(location.x >= grown.minX() && location.x <= grown.maxX() &&
             location.y >= grown.minY() && location.y <= grown.maxY());
}

void SwitcherPanelController::handleGlobalMouseDown() {
    Point location = monitors_->pointerLocation();
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    platform().dispatch->async([weak, location] {
        auto self = weak.lock();
        if (self && self->isAwayFromPanel(location))
            self->hide();
    });
}

void SwitcherPanelController::handleLocalMouseDown(const MouseDownEvent& event) {
    if (!event.inPanel && isAwayFromPanel(event.location)) {
        std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
        platform().dispatch->async([weak] {
            if (auto self = weak.lock())
                self->hide();
        });
        return;
    }
    bool optionHeld = (monitors_->currentModifierFlags() & ModifierFlags::option) != 0;
    if (!optionHeld && viewModel_)
        viewModel_->setEngaged(true);
}

void SwitcherPanelController::closeCurrentItem() {
    auto model = viewModel_;
    if (!model)
        return;
    int index = model->selectedIndex();
    std::optional<SwitchItem> item;
    if (const auto& group = model->activeTabGroup()) {
        const auto& tabs = model->filteredTabs(*group);
        if (index >= 0 && index < static_cast<int>(tabs.size()))
            item = SwitchItem(tabs[index]);
    } else if (const auto& windows = model->activeWindowGroup()) {
        const auto& list = model->filteredWindows(*windows);
        if (index >= 0 && index < static_cast<int>(list.size()))
            item = SwitchItem(list[index]);
    } else {
        const auto& list = model->filtered();
        if (index >= 0 && index < static_cast<int>(list.size()))
            item = list[index];
    }
    // Through the model's close callback, as the row's close button goes: the test showing
    // answers it with a line instead of closing anything real.
    if (item && ItemActions::closeCapability(*item).isActionable() && model->onClose())
        model->onClose()(*item);
}

void SwitcherPanelController::closeItem(const std::shared_ptr<SearchViewModel>& model,
                                        const SwitchItem& item) {
    if (!ItemActions::closeCapability(item).isActionable())
        return;
    suppressCommitOnOptionRelease_ = true;
    model->markClosing(item);
    ItemActions::close(item);
    scheduleClosePropagationRefresh(model, item);
}

void SwitcherPanelController::scheduleClosePropagationRefresh(
    const std::shared_ptr<SearchViewModel>& model, const SwitchItem& closedItem) {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    std::weak_ptr<SearchViewModel> weakModel = model;
    for (double delay : {0.35, 1.5, 2.5}) {
        platform().dispatch->asyncAfter(delay, [weak, weakModel, closedItem] {
            auto self = weak.lock();
            auto current = weakModel.lock();
            if (self && current && self->viewModel_ == current)
                self->propagateClose(current, closedItem);
        });
    }
}

void SwitcherPanelController::propagateClose(const std::shared_ptr<SearchViewModel>& model,
                                             const SwitchItem& closedItem) {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    std::weak_ptr<SearchViewModel> weakModel = model;
    WindowEnumeratorCache::shared().refreshAsync([weak, weakModel, closedItem] {
        BrowserTabCache::shared().refreshAsync(std::nullopt, [weak, weakModel, closedItem] {
            auto self = weak.lock();
            auto current = weakModel.lock();
            if (!self || !current || self->viewModel_ != current)
                return;
            auto items = self->buildItems();
            auto kind = closedItem.kind();
            auto bundleID = closedItem.bundleID();
            bool closesApp = kind == SwitchItem::Kind::tabGroup ||
                             kind == SwitchItem::Kind::windowGroup || kind == SwitchItem::Kind::app;
            if (closesApp && bundleID && !AppActivator::isRunningUserApp(*bundleID)) {
                self->recentlyClosedAppBundles_[*bundleID] = platform().clock->now();
                std::erase_if(items, [&](const SwitchItem& item) {
                    return sharesApplication(item, *bundleID);
                });
            }
            current->updateItems(std::move(items));
        });
    });
}

void SwitcherPanelController::hide() {
    removeMonitors();
    if (!panelShowing_) {
        viewModel_.reset();
        return;
    }
    panelShowing_ = false;
    viewModel_.reset();
    presenter_->slideOut();
}

void SwitcherPanelController::showTestPanel(std::vector<SwitchItem> items, int selectedIndex) {
    auto model = SearchViewModel::create(std::move(items), true);
    model->setEngaged(true);
    int last = std::max(model->visibleCount() - 1, 0);
    model->setSelectedIndex(std::clamp(selectedIndex, 0, last));
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    model->setOnSelect([weak](const SwitchItem& item) {
        if (auto self = weak.lock())
            self->writeLine_("Vantlo test panel selected: " + item.title());
    });
    model->setOnClose([weak](const SwitchItem& item) {
        if (auto self = weak.lock())
            self->writeLine_("Vantlo test panel close: " + item.title());
    });
    model->setOnCancel([weak] {
        auto self = weak.lock();
        if (!self)
            return;
        self->suppressCommitOnOptionRelease_ = true;
        if (self->viewModel_)
            self->viewModel_->setEngaged(true);
        self->hide();
    });
    suppressCommitOnOptionRelease_ = true;
    viewModel_ = model;
    showPanel(model, std::max(model->visibleCount(), 1));
}

void SwitcherPanelController::installKeyMonitor() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    // The bindings as they are now; a change of shortcuts installs the monitor afresh.
    keyMonitor_ = monitors_->addKeyDownMonitor(
        [weak, bindings = ShortcutStore::allResolved()](const KeyEvent& event) {
            auto self = weak.lock();
            return self && self->handleKeyDown(event, bindings);
        });
}

void SwitcherPanelController::installFlagsMonitors() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    localFlagsMonitor_ =
        monitors_->addFlagsChangedMonitor(EventMonitors::Scope::local, [weak](std::uint64_t flags) {
            if (auto self = weak.lock())
                self->handleFlagsChanged(flags);
        });
    globalFlagsMonitor_ = monitors_->addFlagsChangedMonitor(
        EventMonitors::Scope::global, [weak](std::uint64_t flags) {
            platform().dispatch->async([weak, flags] {
                if (auto self = weak.lock())
                    self->handleFlagsChanged(flags);
            });
        });
}

void SwitcherPanelController::installClickMonitors() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    globalClickMonitor_ =
        monitors_->addMouseDownMonitor(EventMonitors::Scope::global, [weak](const MouseDownEvent&) {
            if (auto self = weak.lock())
                self->handleGlobalMouseDown();
        });
    localClickMonitor_ = monitors_->addMouseDownMonitor(EventMonitors::Scope::local,
                                                        [weak](const MouseDownEvent& event) {
                                                            if (auto self = weak.lock())
                                                                self->handleLocalMouseDown(event);
                                                        });
}

void SwitcherPanelController::installMouseMovedMonitor() {
    std::weak_ptr<SwitcherPanelController> weak = weak_from_this();
    mouseMovedMonitor_ = monitors_->addMouseMovedMonitor([weak] {
        auto self = weak.lock();
        if (self && self->viewModel_)
            self->viewModel_->setKeyboardClaimed(false);
    });
}

void SwitcherPanelController::removeMonitor(std::optional<EventMonitors::Token>& token) {
    if (!token)
        return;
    monitors_->removeMonitor(*token);
    token.reset();
}

void SwitcherPanelController::removeMonitors() {
    removeMonitor(keyMonitor_);
    removeMonitor(localFlagsMonitor_);
    removeMonitor(globalFlagsMonitor_);
    removeMonitor(globalClickMonitor_);
    removeMonitor(localClickMonitor_);
    removeMonitor(mouseMovedMonitor_);
}

}  // namespace vantlo
