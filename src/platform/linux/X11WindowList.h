#pragma once
// Reads the window manager's managed clients with everything the switcher asks of them, in a
// fixed number of pipelined request waves whatever the number of windows. A window that vanishes
// while it is read is left out.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/Geometry.h"
#include "platform/RunningApplication.h"
#include "platform/linux/XcbConnection.h"

namespace vantlo {

inline constexpr std::uint32_t kAllDesktops = 0xFFFFFFFF;

struct X11Window {
    enum class Kind { normal, dialog, other };

    xcb_window_t id = XCB_NONE;
    // The process that owns the window: the X server's record of the client when it has one
    // (right for sandboxed applications too), else the window's own _NET_WM_PID.
    Pid pid = 0;
    std::string title;
    std::string instanceName;  // WM_CLASS
    std::string className;
    Kind kind = Kind::normal;
    bool skipTaskbar = false;
    bool hidden = false;
    bool modal = false;
    xcb_window_t transientFor = XCB_NONE;
    // Whether _NET_WM_ALLOWED_ACTIONS holds the close action; nothing when the property is absent.
    std::optional<bool> closeAllowed;
    std::optional<std::uint32_t> desktop;
    bool viewable = false;
    Rect frame;

    // What a switcher lists: normal windows and dialogs that want a taskbar entry.
    bool isListed() const { return kind != Kind::other && !skipTaskbar; }
    bool isDialogLike() const { return kind == Kind::dialog || modal || transientFor != XCB_NONE; }
};

struct X11WindowSnapshot {
    std::vector<X11Window> windows;  // topmost first
    xcb_window_t active = XCB_NONE;
    std::optional<std::uint32_t> currentDesktop;
    // How many request waves the reading took (constant in the number of windows).
    int requestWaves = 0;

    const X11Window* find(xcb_window_t id) const;
};

class X11WindowList : public std::enable_shared_from_this<X11WindowList> {
  public:
    // How long a reading is handed out again: long enough for one enumeration (one showing of
    // the panel) to share it, short enough that a title changed since is seen at the next one.
    // The readings built on it (running applications, screens) keep the same time.
    static constexpr std::chrono::milliseconds kRecentLifetime{250};

    // Made with std::make_shared (background readings hold it weakly). With a dispatch, the main
    // queue's thread is one that must not wait for the server (see snapshotWithoutWaiting); without
    // one every thread may.
    explicit X11WindowList(std::shared_ptr<XcbConnection> connection,
                           std::shared_ptr<Dispatch> dispatch = nullptr);
    ~X11WindowList();
    X11WindowList(const X11WindowList&) = delete;
    X11WindowList& operator=(const X11WindowList&) = delete;

    // Every managed client, topmost first, read now. Empty without a window manager. Only the
    // clients that came, or changed since they were last read, are asked about; the root's
    // lists (clients, stacking, active window, desktop) are read every time.
    X11WindowSnapshot snapshot();
    // The same, but a snapshot taken a moment ago is handed out again, so that one enumeration
    // (the applications, then each application's windows) reads the desktop once. Any change of
    // the client list, the stacking or the active window, and every request this backend sends,
    // makes the next call read afresh.
    // Callers that see the same pointer twice know nothing has been read in between.
    std::shared_ptr<const X11WindowSnapshot> recentSnapshot();
    // The last snapshot taken, however old, unless the client list, the stacking, the active
    // window or the desktop changed since; null then. Titles and window states in it may be
    // out of date: for questions about which clients exist.
    std::shared_ptr<const X11WindowSnapshot> lastSnapshot();
    // The newest snapshot taken, however old and whatever changed since; one is read now only
    // when none was ever taken. For answers that must not wait for the server (activating a
    // window as the switcher hides): a window gone since is refused by the window manager.
    std::shared_ptr<const X11WindowSnapshot> latestSnapshot();
    // recentSnapshot() where waiting is allowed. On the main thread, once a snapshot was taken,
    // the newest one is handed out at once and a changed desktop is read on a background
    // thread for the next caller: a summon shows the last reading rather than wait.
    std::shared_ptr<const X11WindowSnapshot> snapshotWithoutWaiting();
    // Whether the calling thread is one that must not wait for the server.
    bool mustNotWait() const { return dispatch_ && dispatch_->isMainThread(); }
    void invalidate();
    // One window's facts, read now; nothing when it is gone.
    std::optional<X11Window> read(xcb_window_t window);
    xcb_window_t activeWindow();
    std::optional<std::uint32_t> currentDesktop();

  private:
    // A client's facts as last read, with its parent for the frame walk.
    struct Known {
        X11Window window;
        xcb_window_t parent = XCB_NONE;
    };

    // snapshot() with readMutex_ held.
    X11WindowSnapshot readSnapshot();
    // Brings known_ up to date for `ids` (the client list) and answers the clients still there,
    // in that order, with their parents.
    std::vector<X11Window> refreshKnown(const std::vector<xcb_window_t>& ids,
                                        std::vector<xcb_window_t>& parents);
    // Asks the server to tell of every later change to the new clients' properties and structure.
    void watch(const std::vector<xcb_window_t>& ids);
    // Reads the windows in one wave; `parents` receives each kept window's parent.
    std::vector<X11Window> readWindows(const std::vector<xcb_window_t>& ids,
                                       std::vector<xcb_window_t>* parents);
    // Sorts topmost first; answers the number of request waves the frame walk took.
    int orderByStacking(std::vector<X11Window>& windows, const std::vector<xcb_window_t>& parents,
                        const std::vector<xcb_window_t>& rootChildren,
                        const std::vector<xcb_window_t>& stackingList);

    struct Recent {
        std::mutex mutex;
        std::shared_ptr<const X11WindowSnapshot> snapshot;
        std::chrono::steady_clock::time_point takenAt;
        // Survives invalidation; replaced only by a reading that began later.
        std::shared_ptr<const X11WindowSnapshot> latest;
        std::chrono::steady_clock::time_point latestBegan;
        bool readingInBackground = false;
        // A change came while the background reading ran: it reads once more when done.
        bool backgroundQueued = false;
        // Counts the changes; a reading that began before one is not kept.
        std::uint64_t changes = 0;
        // Clients whose properties or structure changed since they were last read.
        std::unordered_set<xcb_window_t> stale;
        bool allStale = false;

        void invalidate();
        void markStale(xcb_window_t window);
    };

    // Runs background readings until no change asked for one more.
    void readInBackground();

    std::shared_ptr<XcbConnection> connection_;
    std::shared_ptr<Dispatch> dispatch_;
    std::shared_ptr<Recent> recent_ = std::make_shared<Recent>();
    // One reading at a time: readers that wait behind it mostly find its result recent enough.
    std::mutex readMutex_;
    std::unordered_map<xcb_window_t, Known> known_;  // guarded by readMutex_
    Subscription listener_;
};

}  // namespace vantlo
