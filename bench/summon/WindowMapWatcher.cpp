#include "WindowMapWatcher.h"

#include <QEventLoop>
#include <QTimer>
#include <cstring>

#include "common/RootConnection.h"
#include "platform/linux/XcbReply.h"

namespace vantlo::bench {
namespace {

xcb_atom_t intern(xcb_connection_t* connection, const char* name) {
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::optional<xcb_window_t> windowProperty(xcb_connection_t* connection, xcb_window_t window,
                                           xcb_atom_t property) {
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, XCB_ATOM_WINDOW, 0, 1),
        nullptr));
    if (!reply || xcb_get_property_value_length(reply.get()) != 4)
        return std::nullopt;
    return *static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
}

}  // namespace

WindowMapWatcher::WindowMapWatcher() {
    const auto display = bench::RootConnection::open();
    if (!display.connection)
        return;
    connection_ = display.connection;
    root_ = display.root;
    wakeWindow_ = xcb_generate_id(connection_);
    xcb_create_window(connection_, 0, wakeWindow_, root_, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_flush(connection_);
    reader_ = std::thread([this] { readEvents(); });
}

WindowMapWatcher::~WindowMapWatcher() {
    if (!connection_)
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    // An event sent with an empty mask goes to the window's creator: the reader wakes and leaves.
    xcb_client_message_event_t stop{};
    stop.response_type = XCB_CLIENT_MESSAGE;
    stop.format = 32;
    stop.window = wakeWindow_;
    stop.type = XCB_ATOM_NONE;
    xcb_send_event(connection_, 0, wakeWindow_, 0, reinterpret_cast<const char*>(&stop));
    xcb_flush(connection_);
    reader_.join();
    xcb_disconnect(connection_);
}

bool WindowMapWatcher::hasWindowManager() {
    if (!connection_)
        return false;
    const xcb_atom_t check = intern(connection_, "_NET_SUPPORTING_WM_CHECK");
    auto child = windowProperty(connection_, root_, check);
    return child && windowProperty(connection_, *child, check) == child;
}

void WindowMapWatcher::watch(std::uint32_t window) {
    {
        std::lock_guard lock(mutex_);
        windows_[window] = Window{};
    }
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    auto cookie =
        xcb_change_window_attributes_checked(connection_, window, XCB_CW_EVENT_MASK, &mask);
    std::free(xcb_request_check(connection_, cookie));
}

std::optional<WindowMapWatcher::Clock::time_point> WindowMapWatcher::mappedAt(
    std::uint32_t window) const {
    std::lock_guard lock(mutex_);
    auto found = windows_.find(window);
    return found == windows_.end() ? std::nullopt : found->second.mapped;
}

bool WindowMapWatcher::isUnmapped(std::uint32_t window) const {
    std::lock_guard lock(mutex_);
    auto found = windows_.find(window);
    return found != windows_.end() && found->second.unmapped;
}

void WindowMapWatcher::forget(std::uint32_t window) {
    std::lock_guard lock(mutex_);
    windows_.erase(window);
}

void WindowMapWatcher::readEvents() {
    while (xcb_generic_event_t* event = xcb_wait_for_event(connection_)) {
        const auto at = Clock::now();
        XcbReply<xcb_generic_event_t> owned(event);
        const auto type = event->response_type & ~0x80;
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            if (type == XCB_MAP_NOTIFY) {
                auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                auto found = windows_.find(map->window);
                if (found != windows_.end() && !found->second.mapped)
                    found->second.mapped = at;
            } else if (type == XCB_UNMAP_NOTIFY) {
                auto* unmap = reinterpret_cast<xcb_unmap_notify_event_t*>(event);
                auto found = windows_.find(unmap->window);
                if (found != windows_.end())
                    found->second.unmapped = true;
            }
        }
        wakeEventLoop();
    }
}

void WindowMapWatcher::wakeEventLoop() {
    std::lock_guard lock(mutex_);
    if (waitingLoop_)
        QMetaObject::invokeMethod(waitingLoop_, &QEventLoop::quit, Qt::QueuedConnection);
}

bool WindowMapWatcher::runEventsUntil(const std::function<bool()>& done, double seconds) {
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds));
    while (!done() && Clock::now() < deadline) {
        QEventLoop loop;
        {
            std::lock_guard lock(mutex_);
            waitingLoop_ = &loop;
        }
        // A wake that came between the check above and this loop is caught by the short timer.
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
        std::lock_guard lock(mutex_);
        waitingLoop_ = nullptr;
    }
    return done();
}

}  // namespace vantlo::bench
