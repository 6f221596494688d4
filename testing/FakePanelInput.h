#pragma once
// The panel's input as a test drives it: it records whether the keyboard is held and lets the
// test report key presses, modifier changes, clicks, wheel turns and pointer moves as the backend
// would, or refuse the grab as a platform does when another program holds the keyboard.

#include "platform/PanelInput.h"

namespace vantlo {

class FakePanelInput : public PanelInput {
  public:
    bool start(PanelInputEvents events, std::uint32_t panelWindow) override {
        if (refuse)
            return false;
        events_ = std::move(events);
        window = panelWindow;
        holding = true;
        ++starts;
        return true;
    }
    void stop() override {
        holding = false;
        focusedWindow = 0;
        events_ = {};
    }
    bool focusPanelWindow(std::uint32_t panelWindow) override {
        if (!holding || panelWindow == 0)
            return false;
        focusedWindow = panelWindow;
        return true;
    }
    std::uint64_t currentFlags() override { return flags; }
    std::string failureReason() const override { return refuse ? refusal : std::string(); }

    void keyDown(std::uint16_t keyCode, std::uint64_t withFlags, const std::string& text = {}) {
        if (events_.onKeyDown)
            events_.onKeyDown(keyCode, withFlags, text);
    }
    void flagsChanged(std::uint64_t newFlags) {
        flags = newFlags;
        if (events_.onFlagsChanged)
            events_.onFlagsChanged(newFlags);
    }
    void mouseDown(Point at, MouseButton button = MouseButton::primary) {
        if (events_.onMouseDown)
            events_.onMouseDown(at, button);
    }
    void scroll(Point at, double notches) {
        if (events_.onScroll)
            events_.onScroll(at, notches);
    }
    void mouseMoved(Point at) {
        if (events_.onMouseMoved)
            events_.onMouseMoved(at);
    }
    // The backend gives the input back on its own, as its watchdog does for a silent main
    // thread: nothing more is reported, and `stop` is still due.
    void loseGrab() {
        auto lost = std::move(events_.onGrabLost);
        events_ = {};
        holding = false;
        if (lost)
            lost();
    }

    bool refuse = false;
    std::string refusal = "another program holds the keyboard";
    bool holding = false;
    int starts = 0;
    std::uint32_t window = 0;
    // The panel window holding the input focus (0: the keyboard is grabbed, or nothing held).
    std::uint32_t focusedWindow = 0;
    std::uint64_t flags = 0;

  private:
    PanelInputEvents events_;
};

}  // namespace vantlo
