#pragma once
// Stands in for the platform's event monitors while the switcher panel shows: handlers that see
// key presses, modifier changes, clicks and pointer moves before (local) or beside (global) the
// windows they are meant for, and the grab that holds the keyboard and pointer for the panel.
//
// Local monitors see events aimed at this program's windows (the panel holds the keyboard while
// it shows); global monitors see events aimed at other programs. A key-down handler answers
// whether it consumed the event; an event it does not consume goes on to the panel, where it
// reaches the search field. Handlers run on the main thread, except global ones, which may run
// on any thread and must hop to the main queue themselves. A monitor stays installed while its
// Subscription lives.

#include <cstdint>
#include <functional>

#include "platform/InputGrab.h"
#include "platform/PanelEvents.h"
#include "platform/Subscription.h"

namespace vantlo {

class EventMonitors {
  public:
    enum class Scope { local, global };

    virtual ~EventMonitors() = default;

    // Return true to consume the event.
    virtual Subscription addKeyDownMonitor(std::function<bool(const KeyEvent&)> handler) = 0;
    virtual Subscription addFlagsChangedMonitor(
        Scope scope, std::function<void(std::uint64_t flags)> handler) = 0;
    virtual Subscription addMouseDownMonitor(
        Scope scope, std::function<void(const MouseDownEvent&)> handler) = 0;
    virtual Subscription addMouseMovedMonitor(std::function<void()> handler) = 0;
    // The grab was taken away while held (the platform gave the input back because the main
    // thread stopped answering): events reported before it are dropped, and the handler runs on
    // the main thread once it answers again. Platforms whose grab cannot be lost never call it.
    virtual Subscription addInputLostMonitor(std::function<void()> /*handler*/) { return {}; }

    // Takes the keyboard and pointer for the panel on screen until the grab is dropped. Where
    // the platform delivers the panel's events without a grab, the grab is held and gives back
    // nothing; an empty grab when the input could not be taken.
    virtual InputGrab grabInput() = 0;

    // From now until the grab is given back, the panel's own window takes the keyboard as a
    // focused text field does, so the session's input method composes in its search field: key
    // presses still reach the key-down monitors first, and the ones they leave go to the field.
    // Nothing to do where the panel receives its keys itself.
    virtual void focusPanelForTyping() {}

    // The modifier flags held right now, and the pointer's global location.
    virtual std::uint64_t currentModifierFlags() = 0;
    virtual Point pointerLocation() = 0;
};

}  // namespace vantlo
