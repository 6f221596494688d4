#pragma once
// When the X server reported each top-level window mapped and unmapped, noted by a connection of
// its own whose thread does nothing else. The watcher's class lookups are round trips: while it
// waits for their replies, later events queue up unread, so the moment the watcher handles an
// event can be long after the server sent it (tens of milliseconds on a desktop whose windows
// come and go). The stamps keep that wait out of the figures.

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace vantlo::probe {

using Clock = std::chrono::steady_clock;

class EventStamps {
  public:
    // Connects to $DISPLAY and starts listening; `connected()` says whether that worked.
    EventStamps();
    ~EventStamps();
    EventStamps(const EventStamps&) = delete;
    EventStamps& operator=(const EventStamps&) = delete;

    bool connected() const { return connection_ != nullptr; }

    // The first time at or after `since` the server reported `window` mapped (or unmapped or
    // destroyed), waiting until `until` for it to be noted; nothing when it was not.
    std::optional<Clock::time_point> mapped(xcb_window_t window, Clock::time_point since,
                                            Clock::time_point until);
    std::optional<Clock::time_point> gone(xcb_window_t window, Clock::time_point since,
                                          Clock::time_point until);

  private:
    struct Stamp {
        bool mapped = false;
        Clock::time_point at;
    };

    void listen();
    void note(const xcb_generic_event_t& event, Clock::time_point at);
    void forgetOld(Clock::time_point now);
    std::optional<Clock::time_point> first(xcb_window_t window, bool mapped,
                                           Clock::time_point since, Clock::time_point until);

    xcb_connection_t* connection_ = nullptr;
    std::mutex mutex_;
    std::condition_variable noted_;
    std::unordered_map<xcb_window_t, std::vector<Stamp>> stamps_;
    std::atomic<bool> stopping_{false};
    std::thread listener_;
};

}  // namespace vantlo::probe
