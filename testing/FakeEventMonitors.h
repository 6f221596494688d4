#pragma once
// Event monitors a test drives by hand: it sends synthetic key, modifier, click and pointer
// events to whatever handlers the code under test has installed, and checks which are installed
// and whether the input is grabbed.

#include <memory>

#include "platform/EventMonitors.h"
#include "platform/SubscriberList.h"

namespace vantlo {

class FakeEventMonitors : public EventMonitors {
  public:
    Subscription addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) override {
        return keyDown_.add(std::move(handler));
    }
    Subscription addFlagsChangedMonitor(Scope scope,
                                        std::function<void(std::uint64_t)> handler) override {
        return flags_.add({scope, std::move(handler)});
    }
    Subscription addMouseDownMonitor(Scope scope,
                                     std::function<void(const MouseDownEvent&)> handler) override {
        return clicks_.add({scope, std::move(handler)});
    }
    Subscription addMouseMovedMonitor(std::function<void()> handler) override {
        return moves_.add(std::move(handler));
    }
    InputGrab grabInput() override {
        if (refuseGrab)
            return {};
        ++grab_->taken;
        grab_->held = true;
        grab_->focusedForTyping = false;
        return InputGrab([grab = std::weak_ptr<GrabState>(grab_)] {
            if (auto state = grab.lock())
                state->held = false;
        });
    }
    void focusPanelForTyping() override {
        if (grab_->held)
            grab_->focusedForTyping = true;
    }
    std::uint64_t currentModifierFlags() override { return heldFlags; }
    Point pointerLocation() override { return pointer; }

    // Sends a key press; answers whether some monitor consumed it.
    bool keyDown(std::uint16_t keyCode, std::uint64_t flags = 0, std::string characters = {}) {
        KeyEvent event{keyCode, flags, std::move(characters)};
        for (const auto& slot : keyDown_.snapshot()) {
            if (slot->subscribed && slot->entry(event))
                return true;
        }
        return false;
    }
    void flagsChanged(std::uint64_t flags, Scope scope = Scope::local) {
        heldFlags = flags;
        flags_.forEach([&](const auto& entry) {
            if (entry.first == scope)
                entry.second(flags);
        });
    }
    void mouseDown(Scope scope, MouseDownEvent event) {
        pointer = event.location;
        clicks_.forEach([&](const auto& entry) {
            if (entry.first == scope)
                entry.second(event);
        });
    }
    void mouseMoved() {
        moves_.forEach([](const auto& handler) { handler(); });
    }

    std::size_t keyMonitors() const { return keyDown_.size(); }
    std::size_t flagsMonitors() const { return flags_.size(); }
    std::size_t clickMonitors() const { return clicks_.size(); }
    std::size_t moveMonitors() const { return moves_.size(); }
    std::size_t installed() const {
        return keyDown_.size() + flags_.size() + clicks_.size() + moves_.size();
    }
    // Whether the input is grabbed now, and how many grabs were taken so far.
    bool holdingInput() const { return grab_->held; }
    int grabsTaken() const { return grab_->taken; }
    // Whether the panel has taken the keyboard for typing during the grab held now.
    bool panelFocusedForTyping() const { return grab_->held && grab_->focusedForTyping; }

    std::uint64_t heldFlags = 0;
    Point pointer;
    // When set, grabs are refused as a platform does when another program holds the keyboard.
    bool refuseGrab = false;

  private:
    struct GrabState {
        bool held = false;
        int taken = 0;
        bool focusedForTyping = false;
    };

    SubscriberList<std::function<bool(const KeyEvent&)>> keyDown_;
    SubscriberList<std::pair<Scope, std::function<void(std::uint64_t)>>> flags_;
    SubscriberList<std::pair<Scope, std::function<void(const MouseDownEvent&)>>> clicks_;
    SubscriberList<std::function<void()>> moves_;
    std::shared_ptr<GrabState> grab_ = std::make_shared<GrabState>();
};

}  // namespace vantlo
