#include "EventStamps.h"

#include <poll.h>

#include "common/RootConnection.h"
#include "platform/linux/XcbReply.h"

namespace vantlo::probe {
namespace {

// Enough history per window for a summon and its dismissal; windows quiet for longer than the
// horizon are forgotten so a desktop with windows coming and going keeps the table small.
constexpr std::size_t kStampsPerWindow = 8;
constexpr std::size_t kWindowsBeforePruning = 4096;
constexpr auto kHorizon = std::chrono::seconds(30);

}  // namespace

EventStamps::EventStamps() {
    const auto display = bench::RootConnection::open();
    if (!display.connection)
        return;
    connection_ = display.connection;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, display.root, XCB_CW_EVENT_MASK, &mask);
    // Listening before the first summon is timed: a round trip makes sure of it.
    XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    listener_ = std::thread([this] { listen(); });
}

EventStamps::~EventStamps() {
    stopping_ = true;
    if (listener_.joinable())
        listener_.join();
    if (connection_)
        xcb_disconnect(connection_);
}

void EventStamps::listen() {
    const int fd = xcb_get_file_descriptor(connection_);
    while (!stopping_ && !xcb_connection_has_error(connection_)) {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_)) {
            XcbReply<xcb_generic_event_t> event(raw);
            note(*event, Clock::now());
        }
        // The timeout only bounds how long stopping takes; events wake the poll at once.
        pollfd readable{fd, POLLIN, 0};
        ::poll(&readable, 1, 50);
    }
}

void EventStamps::note(const xcb_generic_event_t& event, Clock::time_point at) {
    xcb_window_t window = XCB_NONE;
    bool mapped = false;
    switch (event.response_type & ~0x80) {
        case XCB_MAP_NOTIFY:
            window = reinterpret_cast<const xcb_map_notify_event_t&>(event).window;
            mapped = true;
            break;
        case XCB_UNMAP_NOTIFY:
            window = reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window;
            break;
        case XCB_DESTROY_NOTIFY:
            window = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
            break;
        default:
            return;
    }
    {
        std::lock_guard lock(mutex_);
        if (stamps_.size() >= kWindowsBeforePruning)
            forgetOld(at);
        auto& history = stamps_[window];
        if (history.size() >= kStampsPerWindow)
            history.erase(history.begin());
        history.push_back(Stamp{mapped, at});
    }
    noted_.notify_all();
}

void EventStamps::forgetOld(Clock::time_point now) {
    for (auto it = stamps_.begin(); it != stamps_.end();) {
        if (now - it->second.back().at > kHorizon)
            it = stamps_.erase(it);
        else
            ++it;
    }
}

std::optional<Clock::time_point> EventStamps::first(xcb_window_t window, bool mapped,
                                                    Clock::time_point since,
                                                    Clock::time_point until) {
    if (!connection_)
        return std::nullopt;
    std::unique_lock lock(mutex_);
    std::optional<Clock::time_point> found;
    noted_.wait_until(lock, until, [&] {
        auto it = stamps_.find(window);
        if (it == stamps_.end())
            return false;
        for (const auto& stamp : it->second) {
            if (stamp.mapped == mapped && stamp.at >= since) {
                found = stamp.at;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::optional<Clock::time_point> EventStamps::mapped(xcb_window_t window, Clock::time_point since,
                                                     Clock::time_point until) {
    return first(window, true, since, until);
}

std::optional<Clock::time_point> EventStamps::gone(xcb_window_t window, Clock::time_point since,
                                                   Clock::time_point until) {
    return first(window, false, since, until);
}

}  // namespace vantlo::probe
