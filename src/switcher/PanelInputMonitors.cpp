#include "switcher/PanelInputMonitors.h"

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
    if (inputStarted_)
        input_->stop();
}

EventMonitors::Token PanelInputMonitors::added() {
    startInputIfNeeded();
    return next_++;
}

void PanelInputMonitors::startInputIfNeeded() {
    if (inputStarted_ || !input_)
        return;
    std::weak_ptr<PanelInputMonitors> weak = weak_from_this();
    auto onMain = [weak](auto deliver) {
        platform().dispatch->async([weak, deliver] {
            if (auto self = weak.lock())
                deliver(*self);
        });
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
    events.onMouseDown = [onMain](Point location) {
        onMain([location](PanelInputMonitors& self) { self.deliverMouseDown(location); });
    };
    events.onMouseMoved = [onMain](Point) {
        onMain([](PanelInputMonitors& self) { self.deliverMouseMoved(); });
    };
    std::uint32_t window = panel_.windowNumber ? panel_.windowNumber() : 0;
    inputStarted_ = input_->start(std::move(events), window);
}

EventMonitors::Token PanelInputMonitors::addKeyDownMonitor(
    std::function<bool(const KeyEvent&)> handler) {
    Token token = added();
    keyDown_[token] = std::move(handler);
    return token;
}

EventMonitors::Token PanelInputMonitors::addFlagsChangedMonitor(
    Scope scope, std::function<void(std::uint64_t)> handler) {
    Token token = added();
    flags_[token] = {scope, std::move(handler)};
    return token;
}

EventMonitors::Token PanelInputMonitors::addMouseDownMonitor(
    Scope scope, std::function<void(const MouseDownEvent&)> handler) {
    Token token = added();
    clicks_[token] = {scope, std::move(handler)};
    return token;
}

EventMonitors::Token PanelInputMonitors::addMouseMovedMonitor(std::function<void()> handler) {
    Token token = added();
    moves_[token] = std::move(handler);
    return token;
}

void PanelInputMonitors::removeMonitor(Token token) {
    keyDown_.erase(token);
    flags_.erase(token);
    clicks_.erase(token);
    moves_.erase(token);
    bool none = keyDown_.empty() && flags_.empty() && clicks_.empty() && moves_.empty();
    if (none && inputStarted_) {
        input_->stop();
        inputStarted_ = false;
    }
}

std::uint64_t PanelInputMonitors::currentModifierFlags() {
    return input_ ? input_->currentFlags() : 0;
}

Point PanelInputMonitors::pointerLocation() {
    return platform().screens->pointerLocation();
}

void PanelInputMonitors::deliverKey(const KeyEvent& event) {
    auto handlers = keyDown_;
    for (auto& [token, handler] : handlers) {
        if (handler(event))
            return;
    }
    if (panel_.passKey)
        panel_.passKey(event);
}

// The panel holds the keyboard, so every modifier change is aimed at it: only local monitors
// hear it (hearing it twice would commit twice).
void PanelInputMonitors::deliverFlags(std::uint64_t flags) {
    auto handlers = flags_;
    for (auto& [token, entry] : handlers) {
        if (entry.first == Scope::local)
            entry.second(flags);
    }
}

void PanelInputMonitors::deliverMouseDown(Point location) {
    auto frame = panel_.frame ? panel_.frame() : std::nullopt;
    bool inPanel = frame && frame->contains(location);
    MouseDownEvent event{location, inPanel, inPanel};
    // A click on the panel is one of ours (local); anywhere else it belongs to another program.
    Scope scope = inPanel ? Scope::local : Scope::global;
    auto handlers = clicks_;
    for (auto& [token, entry] : handlers) {
        if (entry.first == scope)
            entry.second(event);
    }
}

void PanelInputMonitors::deliverMouseMoved() {
    auto handlers = moves_;
    for (auto& [token, handler] : handlers)
        handler();
}

}  // namespace vantlo
