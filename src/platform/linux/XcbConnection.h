#pragma once
// The backend's one connection to the X server: interned atoms, a helper window, an event thread
// that hands every event to the registered listeners, real server timestamps and the requests
// sent to the window manager. Pure xcb: no X error ever reaches Xlib's fatal default handler;
// errors arrive as values (or as events, logged once per kind) and never end the process.

#include <xcb/xcb.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "platform/Log.h"
#include "platform/SubscriberList.h"
#include "platform/linux/XcbAtoms.h"

namespace vantlo {

class XcbConnection {
  public:
    using Listener = std::function<void(const xcb_generic_event_t& event)>;

    // Connects to `displayName` (nullptr: $DISPLAY); nullptr when no X server answers.
    static std::shared_ptr<XcbConnection> open(const char* displayName, std::shared_ptr<Log> log);
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* get() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }
    xcb_screen_t* screen() const { return screen_; }
    const XcbAtoms& atoms() const { return atoms_; }
    bool hasResourceExtension() const { return hasResource_; }
    bool hasComposite() const { return hasComposite_; }
    bool hasRandr() const { return hasRandr_; }
    bool isBroken() const { return xcb_connection_has_error(connection_) != 0; }

    // Listeners run on the event thread, in no particular order, while their Subscription
    // lives; they must not block long.
    Subscription addListener(Listener listener);

    // A real server time for requests that want one: the time of a property change on the
    // helper window. Falls back to the newest event time seen (never blocks the event thread).
    xcb_timestamp_t serverTime();
    void noteEventTime(xcb_timestamp_t time);

    // A client message to the root window, as EWMH asks pagers and taskbars to send them.
    void sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                             const std::array<std::uint32_t, 5>& data);
    void flush() { xcb_flush(connection_); }

    // The window manager's check window names itself (EWMH's proof that a manager runs).
    bool hasWindowManager();
    std::string windowManagerName();
    // A text property of the root window named by `atomName` (a window manager's own, such as
    // Openbox's _OB_CONFIG_FILE); nothing when it is not set.
    std::optional<std::string> rootText(const std::string& atomName);

    // Logs one line for a protocol error unless it is one of the expected kind (the window went
    // away) or one of its kind was logged already.
    void reportError(const xcb_generic_error_t& error);
    std::shared_ptr<Log> log() const { return log_; }

  private:
    XcbConnection(xcb_connection_t* connection, int screenNumber, std::shared_ptr<Log> log);
    bool initialise();
    void runEvents(std::shared_ptr<std::atomic<bool>> alive);
    void dispatch(const xcb_generic_event_t& event);

    xcb_connection_t* connection_ = nullptr;
    int screenNumber_ = 0;
    xcb_screen_t* screen_ = nullptr;
    std::shared_ptr<Log> log_;
    XcbAtoms atoms_;
    xcb_window_t helper_ = XCB_NONE;
    bool hasResource_ = false;
    bool hasComposite_ = false;
    bool hasRandr_ = false;

    SubscriberList<Listener> listeners_;

    std::mutex timeMutex_;
    std::condition_variable timeArrived_;
    std::uint64_t timeRequests_ = 0;
    std::uint64_t timeAnswers_ = 0;
    xcb_timestamp_t answeredTime_ = XCB_CURRENT_TIME;
    std::atomic<xcb_timestamp_t> lastEventTime_{XCB_CURRENT_TIME};

    std::mutex errorsMutex_;
    std::set<std::pair<int, int>> reportedErrors_;

    // False once the connection is being destroyed; the event thread checks it after every
    // delivery, because a listener may drop the last owner on that very thread.
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    std::thread events_;
};

}  // namespace vantlo
