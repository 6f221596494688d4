#include "ToplevelWatcher.h"

#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

#include "common/RootConnection.h"
#include "platform/linux/XcbReply.h"

namespace vantlo::probe {
namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// WM_CLASS holds two NUL-terminated strings: the instance name, then the class name.
bool wmClassMatches(const char* data, int length, const std::string& wanted) {
    std::string_view all(data, static_cast<std::size_t>(length));
    while (!all.empty()) {
        const auto end = all.find('\0');
        std::string_view part = all.substr(0, end);
        if (equalsIgnoringCase(part, wanted))
            return true;
        if (end == std::string_view::npos)
            break;
        all.remove_prefix(end + 1);
    }
    return false;
}

constexpr auto kStampWait = std::chrono::milliseconds(100);

std::uint8_t eventType(const xcb_generic_event_t* event) {
    return event->response_type & ~0x80;
}

}  // namespace

ToplevelWatcher::ToplevelWatcher() {
    const auto display = bench::RootConnection::open();
    if (!display.connection)
        return;
    connection_ = display.connection;
    root_ = display.root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    sync();
}

ToplevelWatcher::~ToplevelWatcher() {
    if (connection_)
        xcb_disconnect(connection_);
}

void ToplevelWatcher::sync() {
    XcbReply<xcb_get_input_focus_reply_t> reply(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
}

xcb_generic_event_t* ToplevelWatcher::nextEvent(Clock::time_point deadline) {
    const int fd = xcb_get_file_descriptor(connection_);
    for (;;) {
        if (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            return event;
        if (xcb_connection_has_error(connection_))
            return nullptr;
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return nullptr;
        pollfd readable{fd, POLLIN, 0};
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count() + 1;
        ::poll(&readable, 1, static_cast<int>(ms));
    }
}

xcb_window_t ToplevelWatcher::findClass(xcb_window_t window, const std::string& wmClass,
                                        int depth) {
    XcbReply<xcb_get_property_reply_t> property(xcb_get_property_reply(
        connection_,
        xcb_get_property(connection_, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256),
        nullptr));
    if (property && wmClassMatches(static_cast<const char*>(xcb_get_property_value(property.get())),
                                   xcb_get_property_value_length(property.get()), wmClass))
        return window;
    if (depth <= 0)
        return 0;
    XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree)
        return 0;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (xcb_window_t found = findClass(children[i], wmClass, depth - 1))
            return found;
    }
    return 0;
}

Clock::time_point ToplevelWatcher::stampedOr(xcb_window_t toplevel, Clock::time_point since,
                                             Clock::time_point handled) {
    // Both connections get the same events; the listener's copy is normally noted before this
    // one is handled, the wait covers a listener that was not scheduled yet.
    return std::min(handled,
                    stamps_.mapped(toplevel, since, Clock::now() + kStampWait).value_or(handled));
}

bool ToplevelWatcher::isViewable(xcb_window_t window) {
    XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection_, xcb_get_window_attributes(connection_, window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::optional<ToplevelWatcher::Mapped> ToplevelWatcher::waitForMapped(const std::string& wmClass,
                                                                      Clock::time_point since,
                                                                      Clock::time_point deadline) {
    while (xcb_generic_event_t* event = nextEvent(deadline)) {
        const auto at = Clock::now();
        XcbReply<xcb_generic_event_t> owned(event);
        if (eventType(event) != XCB_MAP_NOTIFY)
            continue;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (map->event != root_)
            continue;
        const xcb_window_t client = findClass(map->window, wmClass, 3);
        if (client == 0)
            continue;
        // A reparenting manager maps the client together with its frame (openbox grabs the
        // server for both); should the client still be unmapped, its own map is the moment.
        if (isViewable(client))
            return Mapped{map->window, stampedOr(map->window, since, at)};
        return waitUntilViewable(map->window, client, deadline);
    }
    return std::nullopt;
}

std::optional<ToplevelWatcher::Mapped> ToplevelWatcher::waitUntilViewable(
    xcb_window_t toplevel, xcb_window_t client, Clock::time_point deadline) {
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, client, XCB_CW_EVENT_MASK, &mask);
    if (isViewable(client))
        return Mapped{toplevel, Clock::now()};
    while (xcb_generic_event_t* event = nextEvent(deadline)) {
        const auto at = Clock::now();
        XcbReply<xcb_generic_event_t> owned(event);
        if (eventType(event) == XCB_MAP_NOTIFY &&
            reinterpret_cast<const xcb_map_notify_event_t*>(event)->window == client)
            return Mapped{toplevel, at};
    }
    return std::nullopt;
}

bool ToplevelWatcher::isGoneEvent(const xcb_generic_event_t* event, xcb_window_t toplevel) {
    const auto type = eventType(event);
    if (type == XCB_UNMAP_NOTIFY)
        return reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window == toplevel;
    if (type == XCB_DESTROY_NOTIFY)
        return reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == toplevel;
    return false;
}

bool ToplevelWatcher::waitForGone(xcb_window_t toplevel, Clock::time_point deadline) {
    if (!isViewable(toplevel))
        return true;
    while (xcb_generic_event_t* event = nextEvent(deadline)) {
        XcbReply<xcb_generic_event_t> owned(event);
        if (isGoneEvent(event, toplevel))
            return true;
    }
    return false;
}

bool ToplevelWatcher::sawGone(xcb_window_t toplevel) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        XcbReply<xcb_generic_event_t> owned(event);
        if (isGoneEvent(event, toplevel))
            return true;
    }
    return false;
}

std::optional<Clock::time_point> ToplevelWatcher::goneAt(xcb_window_t toplevel,
                                                         Clock::time_point since) {
    return stamps_.gone(toplevel, since, Clock::now() + kStampWait);
}

bool ToplevelWatcher::anyViewable(const std::string& wmClass) {
    XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, root_), nullptr));
    if (!tree)
        return false;
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        if (isViewable(children[i]) && findClass(children[i], wmClass, 3) != 0)
            return true;
    }
    return false;
}

}  // namespace vantlo::probe
