#include "switcher/SwitcherShowing.h"

#include "platform/GuardedBy.h"
#include "platform/Platform.h"

namespace vantlo {

std::shared_ptr<SwitcherShowing> SwitcherShowing::create(std::shared_ptr<PanelPresenter> presenter,
                                                         std::shared_ptr<EventMonitors> monitors,
                                                         std::shared_ptr<SearchViewModel> model,
                                                         Handlers handlers) {
    return std::shared_ptr<SwitcherShowing>(new SwitcherShowing(
        std::move(presenter), std::move(monitors), std::move(model), std::move(handlers)));
}

SwitcherShowing::SwitcherShowing(std::shared_ptr<PanelPresenter> presenter,
                                 std::shared_ptr<EventMonitors> monitors,
                                 std::shared_ptr<SearchViewModel> model, Handlers handlers)
    : presenter_(std::move(presenter)),
      monitors_(std::move(monitors)),
      model_(std::move(model)),
      handlers_(std::move(handlers)) {}

SwitcherShowing::~SwitcherShowing() {
    // The keyboard goes back first, so the next key reaches the chosen window at once.
    grab_.release();
    searchObserver_.reset();
    keyMonitor_.reset();
    localFlagsMonitor_.reset();
    globalFlagsMonitor_.reset();
    mouseMovedMonitor_.reset();
    inputLostMonitor_.reset();
    globalClickMonitor_.reset();
    localClickMonitor_.reset();
    if (onScreen_ && leavesAtOnce_)
        presenter_->hideAtOnce();
    else if (onScreen_)
        presenter_->slideOut();
}

bool SwitcherShowing::present(int itemCount) {
    auto slideInFinished = guardedBy(weak_from_this(), [](SwitcherShowing& self) {
        // A showing ended during the slide-in is gone, and with it this call.
        if (self.onScreen_)
            self.installClickMonitors();
    });
    if (!presenter_->showPanel(model_, itemCount, slideInFinished))
        return false;
    onScreen_ = true;
    grab_ = monitors_->grabInput();
    replaceKeyHandler(handlers_.keyDown);
    using Scope = EventMonitors::Scope;
    localFlagsMonitor_ = monitors_->addFlagsChangedMonitor(Scope::local, handlers_.flagsChanged);
    // Global monitors may report on any thread: the handler runs on the main queue.
    globalFlagsMonitor_ = monitors_->addFlagsChangedMonitor(
        Scope::global, [weak = weak_from_this()](std::uint64_t flags) {
            platform().dispatch->async(guardedBy(
                weak, [flags](SwitcherShowing& self) { self.handlers_.flagsChanged(flags); }));
        });
    mouseMovedMonitor_ = monitors_->addMouseMovedMonitor(handlers_.mouseMoved);
    if (handlers_.inputLost)
        inputLostMonitor_ = monitors_->addInputLostMonitor(handlers_.inputLost);
    // The model announces a change before making it: look once it is made.
    searchObserver_ = model_->addWillChangeObserver([weak = weak_from_this()](auto field) {
        using Field = SearchViewModel::Field;
        if (field == Field::searchActive || field == Field::query)
            platform().dispatch->async(guardedBy(weak, &SwitcherShowing::focusPanelIfSearching));
    });
    focusPanelIfSearching();
    return true;
}

void SwitcherShowing::focusPanelIfSearching() {
    // Asked again at each change until the monitors manage it (the panel may not be on screen
    // yet at the first key); once they have, the call does nothing.
    if (grab_.isHeld() && (model_->searchActive() || !model_->query().empty()))
        monitors_->focusPanelForTyping();
}

void SwitcherShowing::replaceKeyHandler(std::function<bool(const KeyEvent&)> keyDown) {
    handlers_.keyDown = std::move(keyDown);
    keyMonitor_ = monitors_->addKeyDownMonitor(handlers_.keyDown);
}

void SwitcherShowing::installClickMonitors() {
    using Scope = EventMonitors::Scope;
    // A grab refused at the summon (another program held the keyboard a moment) is tried again.
    if (!grab_.isHeld()) {
        grab_ = monitors_->grabInput();
        focusPanelIfSearching();
    }
    if (!grab_.isHeld()) {
        // Reported from the main queue: the showing may end in the handler, and the slide-in
        // that called here is still finishing.
        platform().dispatch->async(
            guardedBy(weak_from_this(), [reason = grab_.refusal()](SwitcherShowing& self) {
                if (self.handlers_.inputRefused)
                    self.handlers_.inputRefused(reason);
            }));
        return;
    }
    globalClickMonitor_ = monitors_->addMouseDownMonitor(
        Scope::global,
        guardedBy(weak_from_this(), [](SwitcherShowing& self, const MouseDownEvent&) {
            self.handlers_.globalMouseDown(self.monitors_->pointerLocation());
        }));
    localClickMonitor_ = monitors_->addMouseDownMonitor(Scope::local, handlers_.localMouseDown);
}

}  // namespace vantlo
