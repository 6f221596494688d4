#include "platform/linux/XcbConnection.h"

#include <xcb/composite.h>
#include <xcb/randr.h>
#include <xcb/res.h>

#include <chrono>
#include <cstdlib>
#include <vector>

#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

constexpr auto kTimeWait = std::chrono::milliseconds(500);

bool extensionPresent(xcb_connection_t* c, xcb_extension_t* extension) {
    const xcb_query_extension_reply_t* data = xcb_get_extension_data(c, extension);
    return data != nullptr && data->present != 0;
}

// Request codes whose BadWindow/BadDrawable/BadMatch mean only that a window vanished between
// listing and reading it, which is normal on a live desktop.
bool isExpected(const xcb_generic_error_t& error) {
    return error.error_code == XCB_WINDOW || error.error_code == XCB_DRAWABLE ||
           error.error_code == XCB_MATCH || error.error_code == XCB_PIXMAP;
}

xcb_timestamp_t eventTime(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE:
        case XCB_MOTION_NOTIFY:
            return reinterpret_cast<const xcb_key_press_event_t&>(event).time;
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t&>(event).time;
        default:
            return XCB_CURRENT_TIME;
    }
}

}  // namespace

std::shared_ptr<XcbConnection> XcbConnection::open(const char* displayName,
                                                   std::shared_ptr<Log> log) {
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
    if (connection == nullptr)
        return nullptr;
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        return nullptr;
    }
    std::shared_ptr<XcbConnection> result(
        new XcbConnection(connection, screenNumber, std::move(log)));
    if (!result->initialise())
        return nullptr;
    return result;
}

XcbConnection::XcbConnection(xcb_connection_t* connection, int screenNumber,
                             std::shared_ptr<Log> log)
    : connection_(connection), screenNumber_(screenNumber), log_(std::move(log)) {}

bool XcbConnection::initialise() {
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screenNumber_ && it.rem > 0; ++i)
        xcb_screen_next(&it);
    if (it.rem == 0)
        return false;
    screen_ = it.data;

    // Ask for every extension's data first, so the queries travel together.
    xcb_prefetch_extension_data(connection_, &xcb_res_id);
    xcb_prefetch_extension_data(connection_, &xcb_composite_id);
    xcb_prefetch_extension_data(connection_, &xcb_randr_id);
    if (!atoms_.intern(connection_))
        return false;
    hasResource_ = extensionPresent(connection_, &xcb_res_id);
    hasComposite_ = extensionPresent(connection_, &xcb_composite_id);
    hasRandr_ = extensionPresent(connection_, &xcb_randr_id);
    if (hasResource_) {
        own(xcb_res_query_version_reply(connection_, xcb_res_query_version(connection_, 1, 2),
                                        nullptr));
    }
    if (hasComposite_) {
        own(xcb_composite_query_version_reply(
            connection_, xcb_composite_query_version(connection_, 0, 4), nullptr));
    }
    if (hasRandr_) {
        own(xcb_randr_query_version_reply(connection_, xcb_randr_query_version(connection_, 1, 5),
                                          nullptr));
    }

    // An unmapped input-only window: the source of server timestamps and the event thread's
    // wake-up address.
    helper_ = xcb_generate_id(connection_);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, helper_, screen_->root, -10, -10, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    // Root property changes tell the workspace about activation and the client list.
    std::uint32_t rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(connection_);
    events_ = std::thread([this, alive = alive_] { runEvents(alive); });
    return true;
}

XcbConnection::~XcbConnection() {
    if (events_.joinable()) {
        std::array<std::uint32_t, 5> nothing{};
        xcb_client_message_event_t wake{};
        wake.response_type = XCB_CLIENT_MESSAGE;
        wake.format = 32;
        wake.window = helper_;
        wake.type = atoms_._VANTLO_WAKE;
        std::copy(nothing.begin(), nothing.end(), wake.data.data32);
        xcb_send_event(connection_, 0, helper_, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&wake));
        xcb_flush(connection_);
        // The last owner may let go from inside a listener, on the event thread itself: then
        // the thread leaves on its own and the connection stays open until the process ends.
        if (std::this_thread::get_id() == events_.get_id()) {
            *alive_ = false;
            events_.detach();
            return;
        }
        events_.join();
    }
    xcb_disconnect(connection_);
}

Subscription XcbConnection::addListener(Listener listener) {
    return listeners_.add(std::move(listener));
}

void XcbConnection::noteEventTime(xcb_timestamp_t time) {
    if (time != XCB_CURRENT_TIME)
        lastEventTime_ = time;
}

xcb_timestamp_t XcbConnection::serverTime() {
    if (std::this_thread::get_id() == events_.get_id())
        return lastEventTime_;
    std::unique_lock lock(timeMutex_);
    std::uint64_t ticket = ++timeRequests_;
    xcb_change_property(connection_, XCB_PROP_MODE_APPEND, helper_, atoms_._VANTLO_TIME,
                        XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection_);
    if (timeArrived_.wait_for(lock, kTimeWait, [&] { return timeAnswers_ >= ticket; }))
        return answeredTime_;
    return lastEventTime_;
}

void XcbConnection::sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                                        const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection_, 0, screen_->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
}

bool XcbConnection::hasWindowManager() {
    auto rootCheck = XcbProperty::reply(
        connection_, XcbProperty::request(connection_, screen_->root,
                                          atoms_._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1));
    auto child = XcbProperty::first32(rootCheck);
    if (!child || *child == XCB_NONE)
        return false;
    auto childCheck = XcbProperty::reply(
        connection_, XcbProperty::request(connection_, *child, atoms_._NET_SUPPORTING_WM_CHECK,
                                          XCB_ATOM_WINDOW, 1));
    return XcbProperty::first32(childCheck) == child;
}

std::string XcbConnection::windowManagerName() {
    auto rootCheck = XcbProperty::reply(
        connection_, XcbProperty::request(connection_, screen_->root,
                                          atoms_._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 1));
    auto child = XcbProperty::first32(rootCheck);
    if (!child)
        return "";
    auto name = XcbProperty::reply(connection_,
                                   XcbProperty::request(connection_, *child, atoms_._NET_WM_NAME));
    return XcbProperty::text(name, atoms_.UTF8_STRING, atoms_.COMPOUND_TEXT).value_or("");
}

std::optional<std::string> XcbConnection::rootText(const std::string& atomName) {
    auto cookie = xcb_intern_atom(connection_, 1, static_cast<std::uint16_t>(atomName.size()),
                                  atomName.c_str());
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(connection_, cookie, nullptr), &std::free);
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return std::nullopt;
    auto value = XcbProperty::reply(connection_,
                                    XcbProperty::request(connection_, screen_->root, atom->atom));
    return XcbProperty::text(value, atoms_.UTF8_STRING, atoms_.COMPOUND_TEXT);
}

void XcbConnection::reportError(const xcb_generic_error_t& error) {
    if (isExpected(error))
        return;
    {
        std::lock_guard lock(errorsMutex_);
        if (!reportedErrors_.insert({error.error_code, error.major_code}).second)
            return;
    }
    if (log_) {
        log_->write("[Vantlo] X error " + std::to_string(error.error_code) + " for request " +
                    std::to_string(error.major_code) + "." + std::to_string(error.minor_code));
    }
}

void XcbConnection::dispatch(const xcb_generic_event_t& event) {
    listeners_.forEach([&event](const Listener& listener) { listener(event); });
}

void XcbConnection::runEvents(std::shared_ptr<std::atomic<bool>> alive) {
    while (xcb_generic_event_t* raw = xcb_wait_for_event(connection_)) {
        XcbReply<xcb_generic_event_t> event(raw);
        std::uint8_t type = event->response_type & 0x7f;
        if (type == 0) {
            reportError(*reinterpret_cast<xcb_generic_error_t*>(raw));
            continue;
        }
        noteEventTime(eventTime(*event));
        if (type == XCB_CLIENT_MESSAGE &&
            reinterpret_cast<xcb_client_message_event_t*>(raw)->type == atoms_._VANTLO_WAKE &&
            reinterpret_cast<xcb_client_message_event_t*>(raw)->window == helper_) {
            return;
        }
        if (type == XCB_PROPERTY_NOTIFY) {
            auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(raw);
            if (notify->window == helper_ && notify->atom == atoms_._VANTLO_TIME) {
                std::lock_guard lock(timeMutex_);
                answeredTime_ = notify->time;
                ++timeAnswers_;
                timeArrived_.notify_all();
                continue;
            }
        }
        dispatch(*event);
        if (!*alive)
            return;
    }
}

}  // namespace vantlo
