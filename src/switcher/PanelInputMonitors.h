#pragma once
// Event monitors built on the panel's platform input: while a grab lives the panel holds the
// keyboard and pointer, and each reported event goes to the monitors it concerns, on the main
// queue. Key presses no monitor consumes go on to the panel (its search text), and the pointer
// events aimed at the panel go on to it after the monitors have seen them. Once the panel is
// focused for typing, its toolkit receives the keys instead and hands each to `deliverPanelKey`,
// which runs the same monitors.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

#include "platform/EventMonitors.h"
#include "platform/PanelInput.h"
#include "platform/SubscriberList.h"

namespace vantlo {

class PanelInputMonitors : public EventMonitors,
                           public std::enable_shared_from_this<PanelInputMonitors> {
  public:
    struct Panel {
        // The panel window's window-server number (0 when unknown).
        std::function<std::uint32_t()> windowNumber;
        // The panel's frame on screen, global coordinates.
        std::function<std::optional<Rect>()> frame;
        // Receives the key presses no monitor consumed.
        std::function<void(const KeyEvent&)> passKey;
        // Receives the pointer events aimed at the panel, which the grab keeps from its window:
        // presses and wheel turns on the panel, and every move (the hover look ends off it).
        std::function<void(const PanelPointerEvent&)> passPointer;
    };

    static std::shared_ptr<PanelInputMonitors> create(std::shared_ptr<PanelInput> input,
                                                      Panel panel);
    ~PanelInputMonitors() override;

    Subscription addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) override;
    Subscription addFlagsChangedMonitor(Scope scope,
                                        std::function<void(std::uint64_t)> handler) override;
    Subscription addMouseDownMonitor(Scope scope,
                                     std::function<void(const MouseDownEvent&)> handler) override;
    Subscription addMouseMovedMonitor(std::function<void()> handler) override;
    Subscription addInputLostMonitor(std::function<void()> handler) override;
    InputGrab grabInput() override;
    void focusPanelForTyping() override;
    std::uint64_t currentModifierFlags() override;
    Point pointerLocation() override;

    // A key press the focused panel's toolkit received: true when a key-down monitor consumed
    // it; the toolkit gives the others to the search field (through the input method).
    bool deliverPanelKey(const KeyEvent& event);
    bool isPanelFocused() const { return panelFocused_; }

  private:
    PanelInputMonitors(std::shared_ptr<PanelInput> input, Panel panel);
    PanelInputEvents reportsOnMainQueue();
    void releaseInput();
    void deliverKey(const KeyEvent& event);
    bool runKeyMonitors(const KeyEvent& event);
    void deliverFlags(std::uint64_t flags);
    bool isOnPanel(Point location) const;
    void passPointer(const PanelPointerEvent& event);
    void deliverMouseDown(Point location, MouseButton button);
    void deliverMouseMoved(Point location);
    void deliverScroll(Point location, double notches);
    void deliverInputLost();

    std::shared_ptr<PanelInput> input_;
    Panel panel_;
    // Grabs taken and not yet given back; the input is stopped when the last one goes.
    int grabs_ = 0;
    // Raised when the platform input of the grab now held was taken away.
    std::shared_ptr<std::atomic<bool>> currentGrabLost_;
    bool panelFocused_ = false;
    SubscriberList<std::function<bool(const KeyEvent&)>> keyDown_;
    SubscriberList<std::pair<Scope, std::function<void(std::uint64_t)>>> flags_;
    SubscriberList<std::pair<Scope, std::function<void(const MouseDownEvent&)>>> clicks_;
    SubscriberList<std::function<void()>> moves_;
    SubscriberList<std::function<void()>> lost_;
};

}  // namespace vantlo
