#include "switcher/SwitcherPanelController.h"

#include "browser/BrowserTabCache.h"
#include "browser/BrowserTabEnumerator.h"
#include "discovery/DesktopController.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "onboarding/OnboardingManager.h"
#include "platform/DispatchGroup.h"
#include "platform/GuardedBy.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "platform/Platform.h"
#include "settings/PanelSettings.h"
#include "switcher/ItemActions.h"
#include "switcher/PanelPointer.h"
#include "switcher/SwitchListBuilder.h"

namespace vantlo {
namespace {

using Self = SwitcherPanelController;
using Outcome = PanelKeyTable::Outcome;

int wrapped(int index, int count) {
    return ((index % count) + count) % count;
}

bool holds(const KeyEvent& event, std::uint64_t flag) {
    return (event.modifierFlags & flag) != 0;
}

bool isControlText(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

std::optional<std::string> frontmostBundleID() {
    return platform().workspace->frontmostBundleID();
}

}  // namespace

std::shared_ptr<SwitcherPanelController> SwitcherPanelController::create(
    std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors,
    LineWriter writeLine) {
    std::shared_ptr<SwitcherPanelController> controller(new SwitcherPanelController(
        std::move(presenter), std::move(monitors), std::move(writeLine)));
    controller->closes_ = ClosePropagation::create(
        guardedBy(controller->weak_from_this(), [](Self& self) { return self.buildItems(); }));
    controller->observeShortcutChanges();
    return controller;
}

SwitcherPanelController::SwitcherPanelController(std::shared_ptr<PanelPresenter> presenter,
                                                 std::shared_ptr<EventMonitors> monitors,
                                                 LineWriter writeLine)
    : presenter_(std::move(presenter)),
      monitors_(std::move(monitors)),
      writeLine_(writeLine ? std::move(writeLine) : TestShowing::writeToStandardOutput) {}

void SwitcherPanelController::observeShortcutChanges() {
    shortcutsChangedObserver_ = platform().notifications->addObserver(
        ShortcutStore::changedNotification,
        guardedBy(weak_from_this(),
                  [](Self& self, const Notification&) {
                      // The key handler took the old bindings; install it afresh.
                      if (self.isShowing())
                          self.showing_->replaceKeyHandler(self.keyHandler());
                  }),
        NotificationCenter::Delivery::mainQueue);
}

std::shared_ptr<SearchViewModel> SwitcherPanelController::viewModel() const {
    return showing_ ? showing_->model() : nullptr;
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
    if (!isShowing()) {
        show(1);
    } else {
        advance(1);
    }
}

std::vector<SwitchItem> SwitcherPanelController::buildItems() {
    SwitchListBuilder builder(guardedBy(weak_from_this(), [](Self& self, const std::string& id) {
        return self.isRecentlyClosedApp(id);
    }));
    return builder.build();
}

bool SwitcherPanelController::isRecentlyClosedApp(const std::string& bundleID) {
    return closes_->isRecentlyClosedApp(bundleID);
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
    installCallbacks(*model);
    if (auto group = preferredFrontmostBrowserTabGroup(items))
        model->openTabGroup(*group, false);
    present(model, static_cast<int>(items.size()));
    auto& onboarding = OnboardingManager::shared();
    if (onboarding.stage() == OnboardingStage::summon) {
        model->setEngaged(true);
        suppressCommitOnOptionRelease_ = true;
        onboarding.panelDidShow();
    }
    refreshInBackground(showing_);
}

void SwitcherPanelController::installCallbacks(SearchViewModel& model) {
    auto weak = weak_from_this();
    model.setOnSelect(guardedBy(weak, &Self::commitChoice));
    model.setOnCancel(guardedBy(weak, &Self::cancel));
    model.setOnClose(guardedBy(weak, &Self::closeItem));
}

void SwitcherPanelController::present(std::shared_ptr<SearchViewModel> model, int itemCount) {
    showing_ = SwitcherShowing::create(presenter_, monitors_, std::move(model), showingHandlers());
    showing_->present(itemCount);
}

SwitcherShowing::Handlers SwitcherPanelController::showingHandlers() {
    auto weak = weak_from_this();
    SwitcherShowing::Handlers handlers;
    handlers.keyDown = keyHandler();
    handlers.flagsChanged = guardedBy(weak, &Self::handleFlagsChanged);
    handlers.localMouseDown = guardedBy(weak, &Self::handleLocalMouseDown);
    handlers.globalMouseDown = guardedBy(weak, &Self::handleGlobalMouseDown);
    handlers.mouseMoved = guardedBy(weak, [](Self& self) {
        if (auto model = self.viewModel())
            model->setKeyboardClaimed(false);
    });
    handlers.inputRefused = guardedBy(weak, &Self::handleInputRefused);
    // The user's keys went to other programs meanwhile: acting now would surprise them. The
    // panel is off the screen already.
    handlers.inputLost = guardedBy(weak, [](Self& self) {
        if (self.showing_)
            self.showing_->leaveAtOnce();
        self.hide();
    });
    return handlers;
}

void SwitcherPanelController::refreshInBackground(const std::shared_ptr<SwitcherShowing>& showing) {
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
    // Dropped when the showing has ended by then.
    std::weak_ptr<SwitcherShowing> weakShowing = showing;
    group->notify(guardedBy(weak_from_this(), [weakShowing, group](Self& self) {
        if (auto current = weakShowing.lock())
            current->model()->updateItems(self.buildItems());
    }));
}

void SwitcherPanelController::advance(int by) {
    auto model = viewModel();
    if (!model || model->visibleCount() < 1)
        return;
    OnboardingManager::shared().noteMove();
    moveSelection(*model, by);
}

// Arrow keys and bindings move without telling the guide; `advance` (Tab, the hot key) does.
void SwitcherPanelController::moveSelection(SearchViewModel& model, int by) {
    int count = model.visibleCount();
    if (count < 1)
        return;
    suppressCommitOnOptionRelease_ = onboardingSuppressesCommit();
    model.setKeyboardClaimed(true);
    model.setSelectedIndex(wrapped(model.selectedIndex() + by, count));
}

std::function<bool(const KeyEvent&)> SwitcherPanelController::keyHandler() {
    // The bindings as they are now; a change of shortcuts installs the handler afresh.
    auto table =
        std::make_shared<const PanelKeyTable>(ShortcutStore::allResolved(), keyTableHandlers());
    return guardedBy(weak_from_this(), [table](Self& self, const KeyEvent& event) {
        return self.handleKeyDown(event, *table);
    });
}

PanelKeyTable::Handlers SwitcherPanelController::keyTableHandlers() {
    // Each handler runs for the current model; without one, the key goes on.
    auto onModel = [weak = weak_from_this()](auto handle) {
        return guardedBy(weak, [handle](Self& self, const KeyEvent& event) {
            auto model = self.viewModel();
            return model ? handle(self, *model, event) : Outcome::passedOn;
        });
    };
    PanelKeyTable::Handlers handlers;
    auto& actions = handlers.actions;
    actions[ShortcutAction::moveUp] = onModel([](Self& self, SearchViewModel& model, auto&) {
        self.moveSelection(model, -1);
        return Outcome::consumed;
    });
    actions[ShortcutAction::moveDown] = onModel([](Self& self, SearchViewModel& model, auto&) {
        self.moveSelection(model, 1);
        return Outcome::consumed;
    });
    actions[ShortcutAction::back] = onModel([](Self&, SearchViewModel& model, auto&) {
        if (model.activeTabGroup()) {
            model.closeTabGroup();
        } else if (model.activeWindowGroup()) {
            model.closeWindowGroup();
        } else {
            return Outcome::passedOn;
        }
        return Outcome::consumed;
    });
    actions[ShortcutAction::enterGroup] = onModel([](Self&, SearchViewModel& model, auto&) {
        if (model.isInDetailView())
            return Outcome::consumed;
        const auto& list = model.filtered();
        int index = model.selectedIndex();
        if (index >= 0 && index < static_cast<int>(list.size())) {
            SwitchItem item = list[index];
            if (item.tabGroup())
                model.openTabGroup(item, false);
            if (item.windowGroup())
                model.openWindowGroup(item, false);
        }
        return Outcome::consumed;
    });
    actions[ShortcutAction::desktop] = onModel([](Self& self, SearchViewModel&, auto&) {
        DesktopController::showDesktop();
        self.hide();
        return Outcome::consumed;
    });
    actions[ShortcutAction::cancel] = onModel([](Self& self, SearchViewModel&, auto&) {
        self.cancel();
        return Outcome::consumed;
    });
    actions[ShortcutAction::closeSelected] = onModel([](Self& self, SearchViewModel&, auto&) {
        self.closeCurrentItem();
        return Outcome::consumed;
    });
    // Return opens the search first and commits once the search is open.
    actions[ShortcutAction::openSelected] = onModel([](Self&, SearchViewModel& model, auto&) {
        if (!model.searchActive())
            return Outcome::notMine;
        model.setEnterPulse(model.enterPulse() + 1);
        model.commit();
        return Outcome::consumed;
    });
    actions[ShortcutAction::search] = onModel([](Self&, SearchViewModel& model, auto&) {
        if (model.searchActive())
            return Outcome::notMine;
        model.setEnterPulse(model.enterPulse() + 1);
        model.setSearchActive(true);
        model.setEngaged(true);
        return Outcome::consumed;
    });
    handlers.tab = onModel([](Self& self, SearchViewModel&, const KeyEvent& event) {
        self.advance(holds(event, ModifierFlags::shift) ? -1 : 1);
        return Outcome::consumed;
    });
    return handlers;
}

bool SwitcherPanelController::handleKeyDown(const KeyEvent& event, const PanelKeyTable& table) {
    // The model stays for the whole key, even when the key ends the showing.
    auto model = viewModel();
    if (!model)
        return false;
    // An input method composing text owns its keys until it commits.
    if (presenter_->hasMarkedText())
        return false;
    return table.handle(event);
}

void SwitcherPanelController::typeText(const KeyEvent& event) {
    auto model = viewModel();
    if (!model)
        return;
    if (event.keyCode == KeyCode::deleteBackward) {
        model->deleteBackward();
    } else if (!isControlText(event.characters)) {
        model->insertText(event.characters);
    }
}

void SwitcherPanelController::handleFlagsChanged(std::uint64_t flags) {
    auto model = viewModel();
    if ((flags & ModifierFlags::option) != 0 || !model)
        return;
    if (suppressCommitOnOptionRelease_) {
        suppressCommitOnOptionRelease_ = false;
        hide();
    } else if (!model->engaged()) {
        model->commit();
    }
}

bool SwitcherPanelController::isAwayFromPanel(Point location) const {
    auto frame = presenter_->panelFrame();
    if (!isShowing() || !frame)
        return true;
    Rect grown{frame->x - kClickMargin, frame->y - kClickMargin, frame->width + 2 * kClickMargin,
               frame->height + 2 * kClickMargin};
    // The grown frame's far edges count as inside.
    return !(location.x >= grown.minX() && location.x <= grown.maxX() &&
             location.y >= grown.minY() && location.y <= grown.maxY());
}

void SwitcherPanelController::handleGlobalMouseDown(Point location) {
    platform().dispatch->async(guardedBy(weak_from_this(), [location](Self& self) {
        if (self.isAwayFromPanel(location))
            self.hide();
    }));
}

void SwitcherPanelController::handleLocalMouseDown(const MouseDownEvent& event) {
    if (!event.inPanel && isAwayFromPanel(event.location)) {
        platform().dispatch->async(guardedBy(weak_from_this(), &Self::hide));
        return;
    }
    bool optionHeld = (monitors_->currentModifierFlags() & ModifierFlags::option) != 0;
    if (auto model = viewModel(); model && !optionHeld)
        model->setEngaged(true);
}

void SwitcherPanelController::pointerEvent(const PanelPointerEvent& event) {
    // The model stays for the whole event, even when a click ends the showing.
    auto model = viewModel();
    auto frame = presenter_->panelFrame();
    if (!model || !isShowing() || !frame)
        return;
    PanelHit hit;
    if (frame->contains(event.location)) {
        Point onPanel{event.location.x - frame->x, event.location.y - frame->y};
        hit = presenter_->hitMap().hitAt(onPanel);
    }
    switch (event.kind) {
        case PanelPointerEvent::Kind::moved:
            presenter_->showPointerHover(hit);
            PanelPointer::hover(*model, hit);
            break;
        case PanelPointerEvent::Kind::pressed:
            if (event.button == MouseButton::primary)
                PanelPointer::click(*model, hit, &OnboardingManager::shared());
            break;
        case PanelPointerEvent::Kind::scrolled:
            if (frame->contains(event.location))
                presenter_->scrollList(event.wheelNotches);
            break;
    }
}

void SwitcherPanelController::handleInputRefused(const std::string& reason) {
    // Once per refused showing: the line says why the panel closed as soon as it opened.
    std::string line = "[Vantlo] The switcher closed: it could not take the keyboard";
    if (!reason.empty())
        line += " (" + reason + ")";
    if (platform().log)
        platform().log->write(line);
    hide();
}

void SwitcherPanelController::commitChoice(const SwitchItem& chosen) {
    // A copy: the chosen row belongs to the model, which goes with the showing.
    SwitchItem item = chosen;
    // The showing ends first, so the keyboard is back and the panel sliding out before the
    // activation's round trips to the window system. The slide holds no input: keys typed
    // meanwhile already reach the chosen window.
    hide();
    MRUStore::shared().touch(item.mruKey());
    ItemActions::activate(item);
}

void SwitcherPanelController::cancel() {
    suppressCommitOnOptionRelease_ = true;
    if (auto model = viewModel())
        model->setEngaged(true);
    hide();
}

void SwitcherPanelController::closeCurrentItem() {
    auto model = viewModel();
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

void SwitcherPanelController::closeItem(const SwitchItem& item) {
    auto model = viewModel();
    if (!model || !ItemActions::closeCapability(item).isActionable())
        return;
    suppressCommitOnOptionRelease_ = true;
    model->markClosing(item);
    ItemActions::close(item);
    closes_->schedule(showing_, item);
}

void SwitcherPanelController::hide() {
    // Ending the showing gives the input back, removes its monitors and slides the panel out.
    showing_.reset();
}

void SwitcherPanelController::showTestPanel(std::vector<SwitchItem> items, int selectedIndex) {
    auto model = TestShowing::makeModel(std::move(items), selectedIndex, writeLine_,
                                        guardedBy(weak_from_this(), &Self::cancel));
    suppressCommitOnOptionRelease_ = true;
    int rows = std::max(model->visibleCount(), 1);
    present(std::move(model), rows);
}

}  // namespace vantlo
