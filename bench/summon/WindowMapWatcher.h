#pragma once
// Sees, on a connection of its own, when the X server maps and unmaps a window of this process:
// a thread waits on the connection and stamps each map the moment it arrives, so the time does
// not depend on when the Qt event loop next looks.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

class QEventLoop;

namespace vantlo::bench {

class WindowMapWatcher {
  public:
    using Clock = std::chrono::steady_clock;

    // Connects to $DISPLAY; `connected()` says whether that worked.
    WindowMapWatcher();
    ~WindowMapWatcher();
    WindowMapWatcher(const WindowMapWatcher&) = delete;
    WindowMapWatcher& operator=(const WindowMapWatcher&) = delete;

    bool connected() const { return connection_ != nullptr; }
    // Whether a window manager announces itself on the root window (EWMH check window).
    bool hasWindowManager();

    // Asks for `window`'s structure events; returns once the server has taken the request, so a
    // map that follows is seen.
    void watch(std::uint32_t window);
    std::optional<Clock::time_point> mappedAt(std::uint32_t window) const;
    bool isUnmapped(std::uint32_t window) const;
    void forget(std::uint32_t window);

    // Runs the Qt event loop until `done` answers true or `seconds` pass; answers `done()`.
    // Every event this watcher sees wakes the loop to ask again.
    bool runEventsUntil(const std::function<bool()>& done, double seconds);

  private:
    struct Window {
        std::optional<Clock::time_point> mapped;
        bool unmapped = false;
    };

    void readEvents();
    void wakeEventLoop();

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    mutable std::mutex mutex_;
    std::map<std::uint32_t, Window> windows_;
    QEventLoop* waitingLoop_ = nullptr;  // the loop runEventsUntil runs, under mutex_
    xcb_window_t wakeWindow_ = 0;        // where the destructor sends the reader its stop
    bool stopping_ = false;
    std::thread reader_;
};

}  // namespace vantlo::bench
