#pragma once
// Watches the X server for a program's window coming on screen: listens to the root window's
// structure events and reports the moment a top-level window (a window manager's frame, or an
// override-redirect window) holding a window of a given WM_CLASS becomes viewable.

#include <xcb/xcb.h>

#include <chrono>
#include <optional>
#include <string>

#include "EventStamps.h"

namespace vantlo::probe {

class ToplevelWatcher {
  public:
    // Connects to $DISPLAY; `connected()` says whether that worked.
    ToplevelWatcher();
    ~ToplevelWatcher();
    ToplevelWatcher(const ToplevelWatcher&) = delete;
    ToplevelWatcher& operator=(const ToplevelWatcher&) = delete;

    bool connected() const { return connection_ != nullptr; }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return root_; }

    struct Mapped {
        xcb_window_t toplevel = 0;
        Clock::time_point at;
    };
    // Waits until a top-level window holding a window whose WM_CLASS instance or class equals
    // `wmClass` (ignoring case) becomes viewable; the time is when the server reported the map
    // that made it so (at or after `since`). Nothing when `deadline` passes first.
    std::optional<Mapped> waitForMapped(const std::string& wmClass, Clock::time_point since,
                                        Clock::time_point deadline);
    // Waits until `toplevel` is unmapped or destroyed; false when `deadline` passes first.
    bool waitForGone(xcb_window_t toplevel, Clock::time_point deadline);
    // Reads the events already received, without waiting: true when one of them unmapped or
    // destroyed `toplevel`.
    bool sawGone(xcb_window_t toplevel);
    // When the server reported `toplevel` unmapped or destroyed, at or after `since`.
    std::optional<Clock::time_point> goneAt(xcb_window_t toplevel, Clock::time_point since);
    // Whether any viewable top-level window holds a window of `wmClass` now.
    bool anyViewable(const std::string& wmClass);
    // A round trip: every request sent before it has been processed by the server.
    void sync();

  private:
    // The next event, waiting no later than `deadline`; nullptr on timeout or a lost connection.
    xcb_generic_event_t* nextEvent(Clock::time_point deadline);
    // The window in `window`'s tree (itself included) whose WM_CLASS matches; 0 when none.
    xcb_window_t findClass(xcb_window_t window, const std::string& wmClass, int depth);
    bool isViewable(xcb_window_t window);
    // The noted time of `toplevel`'s map at or after `since`, or `handled` when none was noted.
    Clock::time_point stampedOr(xcb_window_t toplevel, Clock::time_point since,
                                Clock::time_point handled);
    static bool isGoneEvent(const xcb_generic_event_t* event, xcb_window_t toplevel);
    std::optional<Mapped> waitUntilViewable(xcb_window_t toplevel, xcb_window_t client,
                                            Clock::time_point deadline);

    EventStamps stamps_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

}  // namespace vantlo::probe
