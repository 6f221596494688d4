#include "switcher/PanelInputMonitors.h"

#include "platform/GuardedBy.h"
#include "platform/Platform.h"

namespace vantlo {

std::shared_ptr<PanelInputMonitors> PanelInputMonitors::create(std::shared_ptr<PanelInput> input,
                                                               Panel panel) {
    return std::shared_ptr<PanelInputMonitors>(
        new PanelInputMonitors(std::move(input), std::move(panel)));
}

PanelInputMonitors::PanelInputMonitors(std::shared_ptr<PanelInput> input, Panel panel)
    : input_(std::move(input)), panel_(std::move(panel)) {}

PanelInputMonitors::~PanelInputMonitors() {
    if (grabs_ > 0)
        input_->stop();
}

PanelInputEvents PanelInputMonitors::reportsOnMainQueue() {
    std::weak_ptr<PanelInputMonitors> weak = weak_from_this();
    // Set on the backend's thread when this grab is lost, while the main thread may still be
    // stuck: the events queued before then (Alt's release among them) are dropped.
    auto lost = std::make_shared<std::atomic<bool>>(false);
    currentGrabLost_ = lost;
    auto onMain = [weak, lost](auto deliver) {
        platform().dispatch->async(guardedBy(weak, [deliver, lost](PanelInputMonitors& self) {
            if (!*lost)
                deliver(self);
        }));
    };
    PanelInputEvents events;
    events.onKeyDown = [onMain](std::uint16_t code, std::uint64_t flags, const std::string& text) {
        onMain([event = KeyEvent{code, flags, text}](PanelInputMonitors& self) {
            self.deliverKey(event);
        });
    };
    events.onFlagsChanged = [onMain](std::uint64_t flags) {
        onMain([flags](PanelInputMonitors& self) { self.deliverFlags(flags); });
    };
    events.onMouseDown = [onMain](Point location, MouseButton button) {
        onMain([location, button](PanelInputMonitors& self) {
            self.deliverMouseDown(location, button);
        });
    };
    events.onMouseMoved = [onMain](Point location) {
        onMain([location](PanelInputMonitors& self) { self.deliverMouseMoved(location); });
    };
    events.onScroll = [onMain](Point location, double notches) {
        onMain([location, notches](PanelInputMonitors& self) {
            self.deliverScroll(location, notches);
        });
    };
    events.onGrabLost = [weak, lost] {
        *lost = true;
        platform().dispatch->async(guardedBy(weak, [lost](PanelInputMonitors& self) {
            // Only the grab still held: one given back meanwhile has nothing left to lose.
            if (self.grabs_ > 0 && self.currentGrabLost_ == lost)
                self.deliverInputLost();
        }));
    };
    return events;
}

InputGrab PanelInputMonitors::grabInput() {
    if (!input_)
        return {};
    if (grabs_ == 0) {
        std::uint32_t window = panel_.windowNumber ? panel_.windowNumber() : 0;
        if (!input_->start(reportsOnMainQueue(), window))
            return InputGrab::refused(input_->failureReason());
    }
    ++grabs_;
    return InputGrab(Subscription::removing(std::weak_ptr<PanelInputMonitors>(weak_from_this()),
                                            [](PanelInputMonitors& self) { self.releaseInput(); }));
}

void PanelInputMonitors::releaseInput() {
    if (grabs_ > 0 && --grabs_ == 0) {
        panelFocused_ = false;
        input_->stop();
    }
}

void PanelInputMonitors::focusPanelForTyping() {
    if (grabs_ == 0 || panelFocused_)
        return;
    std::uint32_t window = panel_.windowNumber ? panel_.windowNumber() : 0;
    panelFocused_ = window != 0 && input_->focusPanelWindow(window);
}

Subscription PanelInputMonitors::addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) {
    return keyDown_.add(std::move(handler));
}

Subscription PanelInputMonitors::addFlagsChangedMonitor(
    Scope scope, std::function<void(std::uint64_t)> handler) {
    return flags_.add({scope, std::move(handler)});
}

Subscription PanelInputMonitors::addMouseDownMonitor(
    Scope scope, std::function<void(const MouseDownEvent&)> handler) {
    return clicks_.add({scope, std::move(handler)});
}

Subscription PanelInputMonitors::addMouseMovedMonitor(std::function<void()> handler) {
    return moves_.add(std::move(handler));
}

Subscription PanelInputMonitors::addInputLostMonitor(std::function<void()> handler) {
    return lost_.add(std::move(handler));
}

std::uint64_t PanelInputMonitors::currentModifierFlags() {
    return input_ ? input_->currentFlags() : 0;
}

Point PanelInputMonitors::pointerLocation() {
    return platform().screens->pointerLocation();
}

bool PanelInputMonitors::runKeyMonitors(const KeyEvent& event) {
    for (const auto& slot : keyDown_.snapshot()) {
        if (slot->subscribed && slot->entry(event))
            return true;
    }
    return false;
}

void PanelInputMonitors::deliverKey(const KeyEvent& event) {
    if (!runKeyMonitors(event) && panel_.passKey)
        panel_.passKey(event);
}

bool PanelInputMonitors::deliverPanelKey(const KeyEvent& event) {
    return grabs_ > 0 && runKeyMonitors(event);
}

// The panel holds the keyboard, so every modifier change is aimed at it: only local monitors
// hear it (hearing it twice would commit twice).
void PanelInputMonitors::deliverFlags(std::uint64_t flags) {
    flags_.forEach([flags](const auto& entry) {
        if (entry.first == Scope::local)
            entry.second(flags);
    });
}

bool PanelInputMonitors::isOnPanel(Point location) const {
    auto frame = panel_.frame ? panel_.frame() : std::nullopt;
    return frame && frame->contains(location);
}

void PanelInputMonitors::passPointer(const PanelPointerEvent& event) {
    if (panel_.passPointer)
        panel_.passPointer(event);
}

void PanelInputMonitors::deliverMouseDown(Point location, MouseButton button) {
    bool inPanel = isOnPanel(location);
    MouseDownEvent event{location, inPanel, inPanel};
    // A click on the panel is one of ours (local); anywhere else it belongs to another program.
    Scope scope = inPanel ? Scope::local : Scope::global;
    clicks_.forEach([&](const auto& entry) {
        if (entry.first == scope)
            entry.second(event);
    });
    // As a window gets its click after the monitors have seen it.
    if (inPanel)
        passPointer({PanelPointerEvent::Kind::pressed, location, button, 0});
}

// Every move goes on, off the panel too: the panel's hover look must end when the pointer leaves.
void PanelInputMonitors::deliverMouseMoved(Point location) {
    moves_.forEach([](const auto& handler) { handler(); });
    passPointer({PanelPointerEvent::Kind::moved, location, MouseButton::primary, 0});
}

void PanelInputMonitors::deliverScroll(Point location, double notches) {
    if (isOnPanel(location))
        passPointer({PanelPointerEvent::Kind::scrolled, location, MouseButton::primary, notches});
}

void PanelInputMonitors::deliverInputLost() {
    lost_.forEach([](const auto& handler) { handler(); });
}

}  // namespace vantlo
