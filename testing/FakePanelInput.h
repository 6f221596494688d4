#pragma once
// The panel's input as a test drives it: it records whether the keyboard is held and lets the
// test report key presses, modifier changes, clicks and pointer moves as the backend would.

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
        events_ = {};
    }
    std::uint64_t currentFlags() override { return flags; }

    void keyDown(std::uint16_t keyCode, std::uint64_t withFlags, const std::string& text = {}) {
        if (events_.onKeyDown)
            events_.onKeyDown(keyCode, withFlags, text);
    }
    void flagsChanged(std::uint64_t newFlags) {
        flags = newFlags;
        if (events_.onFlagsChanged)
            events_.onFlagsChanged(newFlags);
    }
    void mouseDown(Point at) {
        if (events_.onMouseDown)
            events_.onMouseDown(at);
    }
    void mouseMoved(Point at) {
        if (events_.onMouseMoved)
            events_.onMouseMoved(at);
    }

    bool refuse = false;
    bool holding = false;
    int starts = 0;
    std::uint32_t window = 0;
    std::uint64_t flags = 0;

  private:
    PanelInputEvents events_;
};

}  // namespace vantlo
