#pragma once
// Stands in for the input the switcher panel takes while it shows: the keyboard and the pointer
// are held by the panel, and key presses, modifier changes, clicks and pointer moves are
// reported in the platform-neutral form (macOS virtual key codes and event modifier flags:
// shift 1<<17, control 1<<18, option 1<<19, command 1<<20, caps lock 1<<16).
//
// Callbacks may run on a background thread; the receiver hops to the main queue. Between
// `start` and `stop` nothing else receives the keyboard; `stop` (and the end of the process)
// gives everything back.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/Geometry.h"
#include "platform/PanelEvents.h"

namespace vantlo {

struct PanelInputEvents {
    std::function<void(std::uint16_t keyCode, std::uint64_t flags, const std::string& characters)>
        onKeyDown;
    // The modifier flags after a modifier key went down or up.
    std::function<void(std::uint64_t flags)> onFlagsChanged;
    // A press of the primary or secondary button anywhere on screen, in global coordinates (the
    // receiver tells the panel's own area from the rest).
    std::function<void(Point global, MouseButton button)> onMouseDown;
    std::function<void(Point global)> onMouseMoved;
    // A turn of the wheel, in notches, positive toward the user (down).
    std::function<void(Point global, double notches)> onScroll;
    // The input was taken away without `stop`: the backend gave the keyboard and pointer back
    // (and hid the panel) because the main thread stopped answering while it held them. Runs
    // on a background thread, possibly while the main thread is still stuck; nothing more is
    // reported until the next `start`, and `stop` is still due.
    std::function<void()> onGrabLost;
};

class PanelInput {
  public:
    virtual ~PanelInput() = default;
    // Takes the keyboard and pointer for the panel window `panelWindow` (the window-server
    // number; 0 for none) and starts reporting. False when the input could not be taken.
    virtual bool start(PanelInputEvents events, std::uint32_t panelWindow) = 0;
    // Why the last `start` failed, in a few words for the log ("another program holds the
    // keyboard"); empty when it did not fail or the platform cannot tell.
    virtual std::string failureReason() const { return {}; }
    // Gives the keyboard and pointer back and stops reporting. Safe to call when not started.
    virtual void stop() = 0;
    // The modifier flags held right now.
    virtual std::uint64_t currentFlags() = 0;
    // Hands the keyboard to the panel window itself while the input stays started, so its
    // toolkit and the session's input method see the keys as in any focused text field: the
    // keyboard grab ends and the input focus moves to `panelWindow`. The pointer stays held and
    // modifier changes are still reported; `stop` gives the focus back to the window that had
    // it. False when the focus could not be moved (the panel window is not on screen yet, the
    // input is not started); the keyboard stays held then.
    virtual bool focusPanelWindow(std::uint32_t panelWindow) = 0;
};

}  // namespace vantlo
