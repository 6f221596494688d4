#pragma once
// Event monitors a test drives by hand: it sends synthetic key, modifier, click and pointer
// events to whatever handlers the code under test has installed, and checks which are installed.

#include <map>

#include "platform/EventMonitors.h"

namespace vantlo {

class FakeEventMonitors : public EventMonitors {
  public:
    Token addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) override {
        keyDown_[next_] = std::move(handler);
        return next_++;
    }
    Token addFlagsChangedMonitor(Scope scope, std::function<void(std::uint64_t)> handler) override {
        flags_[next_] = {scope, std::move(handler)};
        return next_++;
    }
    Token addMouseDownMonitor(Scope scope,
                              std::function<void(const MouseDownEvent&)> handler) override {
        clicks_[next_] = {scope, std::move(handler)};
        return next_++;
    }
    Token addMouseMovedMonitor(std::function<void()> handler) override {
        moves_[next_] = std::move(handler);
        return next_++;
    }
    void removeMonitor(Token token) override {
        ++removals_;
        keyDown_.erase(token);
        flags_.erase(token);
        clicks_.erase(token);
        moves_.erase(token);
    }
    std::uint64_t currentModifierFlags() override { return heldFlags; }
    Point pointerLocation() override { return pointer; }

    // Sends a key press; answers whether some monitor consumed it.
    bool keyDown(std::uint16_t keyCode, std::uint64_t flags = 0, std::string characters = {}) {
        KeyEvent event{keyCode, flags, std::move(characters)};
        auto handlers = keyDown_;
        for (auto& [token, handler] : handlers) {
            if (handler(event))
                return true;
        }
        return false;
    }
    void flagsChanged(std::uint64_t flags, Scope scope = Scope::local) {
        heldFlags = flags;
        auto handlers = flags_;
        for (auto& [token, entry] : handlers) {
            if (entry.first == scope)
                entry.second(flags);
        }
    }
    void mouseDown(Scope scope, MouseDownEvent event) {
        pointer = event.location;
        auto handlers = clicks_;
        for (auto& [token, entry] : handlers) {
            if (entry.first == scope)
                entry.second(event);
        }
    }
    void mouseMoved() {
        auto handlers = moves_;
        for (auto& [token, handler] : handlers)
            handler();
    }

    std::size_t keyMonitors() const { return keyDown_.size(); }
    std::size_t flagsMonitors() const { return flags_.size(); }
    std::size_t clickMonitors() const { return clicks_.size(); }
    std::size_t moveMonitors() const { return moves_.size(); }
    std::size_t installed() const {
        return keyDown_.size() + flags_.size() + clicks_.size() + moves_.size();
    }
    int removals() const { return removals_; }

    std::uint64_t heldFlags = 0;
    Point pointer;

  private:
    Token next_ = 1;
    int removals_ = 0;
    std::map<Token, std::function<bool(const KeyEvent&)>> keyDown_;
    std::map<Token, std::pair<Scope, std::function<void(std::uint64_t)>>> flags_;
    std::map<Token, std::pair<Scope, std::function<void(const MouseDownEvent&)>>> clicks_;
    std::map<Token, std::function<void()>> moves_;
};

}  // namespace vantlo
