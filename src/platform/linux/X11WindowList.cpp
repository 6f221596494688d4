#include "platform/linux/X11WindowList.h"

#include <xcb/res.h>

#include <algorithm>
#include <array>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

// Window managers nest clients a few frames deep; this bounds the walk up to the top level.
constexpr int kMaxFrameDepth = 8;

struct Requests {
    xcb_get_property_cookie_t pid, type, state, transient, netName, name, wmClass, actions, desktop;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_geometry_cookie_t geometry;
    xcb_translate_coordinates_cookie_t position;
    xcb_query_tree_cookie_t tree;
    std::optional<xcb_res_query_client_ids_cookie_t> owner;
};

std::optional<Pid> ownerPid(xcb_connection_t* c, xcb_res_query_client_ids_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    auto reply = own(xcb_res_query_client_ids_reply(c, cookie, &error), error);
    if (!reply)
        return std::nullopt;
    for (auto it = xcb_res_query_client_ids_ids_iterator(reply.get()); it.rem > 0;
         xcb_res_client_id_value_next(&it)) {
        if ((it.data->spec.mask & XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID) != 0 &&
            xcb_res_client_id_value_value_length(it.data) >= 1) {
            return static_cast<Pid>(*xcb_res_client_id_value_value(it.data));
        }
    }
    return std::nullopt;
}

X11Window::Kind kindOf(const XcbAtoms& a, const std::optional<std::vector<std::uint32_t>>& types,
                       bool transient) {
    if (types) {
        for (std::uint32_t type : *types) {
            if (type == a._NET_WM_WINDOW_TYPE_NORMAL)
                return X11Window::Kind::normal;
            if (type == a._NET_WM_WINDOW_TYPE_DIALOG)
                return X11Window::Kind::dialog;
            if (type == a._NET_WM_WINDOW_TYPE_DOCK || type == a._NET_WM_WINDOW_TYPE_DESKTOP ||
                type == a._NET_WM_WINDOW_TYPE_TOOLBAR || type == a._NET_WM_WINDOW_TYPE_MENU ||
                type == a._NET_WM_WINDOW_TYPE_UTILITY || type == a._NET_WM_WINDOW_TYPE_SPLASH ||
                type == a._NET_WM_WINDOW_TYPE_NOTIFICATION) {
                return X11Window::Kind::other;
            }
        }
    }
    // EWMH: without a known type, a transient window is a dialog, any other one normal.
    return transient ? X11Window::Kind::dialog : X11Window::Kind::normal;
}

// The client window a watched change is about: a property of it, or its size, place, mapping,
// parent or end (the structure events share one layout up to the window).
std::optional<xcb_window_t> changedClient(const xcb_generic_event_t& event) {
    switch (event.response_type & 0x7f) {
        case XCB_PROPERTY_NOTIFY:
            return reinterpret_cast<const xcb_property_notify_event_t&>(event).window;
        case XCB_CONFIGURE_NOTIFY:
            return reinterpret_cast<const xcb_configure_notify_event_t&>(event).window;
        case XCB_MAP_NOTIFY:
            return reinterpret_cast<const xcb_map_notify_event_t&>(event).window;
        case XCB_UNMAP_NOTIFY:
            return reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window;
        case XCB_REPARENT_NOTIFY:
            return reinterpret_cast<const xcb_reparent_notify_event_t&>(event).window;
        case XCB_DESTROY_NOTIFY:
            return reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
        default:
            return std::nullopt;
    }
}

bool contains(const std::optional<std::vector<std::uint32_t>>& list, std::uint32_t value) {
    return list && std::find(list->begin(), list->end(), value) != list->end();
}

}  // namespace

const X11Window* X11WindowSnapshot::find(xcb_window_t id) const {
    for (const auto& window : windows) {
        if (window.id == id)
            return &window;
    }
    return nullptr;
}

X11WindowList::X11WindowList(std::shared_ptr<XcbConnection> connection,
                             std::shared_ptr<Dispatch> dispatch)
    : connection_(std::move(connection)), dispatch_(std::move(dispatch)) {
    const auto& a = connection_->atoms();
    std::array<xcb_atom_t, 4> watched = {a._NET_CLIENT_LIST, a._NET_CLIENT_LIST_STACKING,
                                         a._NET_ACTIVE_WINDOW, a._NET_CURRENT_DESKTOP};
    xcb_window_t root = connection_->root();
    listener_ = connection_->addListener(
        [recent = recent_, watched, root](const xcb_generic_event_t& event) {
            auto changed = changedClient(event);
            if (changed && *changed != root) {
                recent->markStale(*changed);
                return;
            }
            if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
                return;
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (notify.window != root ||
                std::find(watched.begin(), watched.end(), notify.atom) == watched.end())
                return;
            recent->invalidate();
        });
}

X11WindowList::~X11WindowList() {
    listener_.reset();
}

std::shared_ptr<const X11WindowSnapshot> X11WindowList::recentSnapshot() {
    auto now = std::chrono::steady_clock::now();
    std::uint64_t changes = 0;
    {
        std::lock_guard lock(recent_->mutex);
        if (recent_->snapshot && now - recent_->takenAt < kRecentLifetime)
            return recent_->snapshot;
        changes = recent_->changes;
    }
    // Read outside the lock, one reader at a time; one that waited behind another reader takes
    // its result when nothing changed since it began.
    std::unique_lock reading(readMutex_);
    {
        std::lock_guard lock(recent_->mutex);
        if (recent_->snapshot && recent_->takenAt >= now)
            return recent_->snapshot;
        changes = recent_->changes;
    }
    auto fresh = std::make_shared<const X11WindowSnapshot>(readSnapshot());
    reading.unlock();
    std::lock_guard lock(recent_->mutex);
    if (!recent_->latest || now >= recent_->latestBegan) {
        recent_->latest = fresh;
        recent_->latestBegan = now;
    }
    if (recent_->changes == changes) {
        recent_->snapshot = fresh;
        recent_->takenAt = now;
    }
    return fresh;
}

std::shared_ptr<const X11WindowSnapshot> X11WindowList::lastSnapshot() {
    std::lock_guard lock(recent_->mutex);
    return recent_->snapshot;
}

std::shared_ptr<const X11WindowSnapshot> X11WindowList::latestSnapshot() {
    {
        std::lock_guard lock(recent_->mutex);
        if (recent_->latest)
            return recent_->latest;
    }
    return recentSnapshot();
}

std::shared_ptr<const X11WindowSnapshot> X11WindowList::snapshotWithoutWaiting() {
    if (!mustNotWait())
        return recentSnapshot();
    {
        std::lock_guard lock(recent_->mutex);
        const bool young = recent_->snapshot &&
                           std::chrono::steady_clock::now() - recent_->takenAt < kRecentLifetime;
        if (young)
            return recent_->snapshot;
        if (recent_->latest) {
            // At most one reading runs in the background and one more waits: churn cannot
            // keep the pool busy.
            if (recent_->readingInBackground) {
                recent_->backgroundQueued = true;
            } else {
                recent_->readingInBackground = true;
                dispatch_->global(QualityOfService::userInitiated, [weak = weak_from_this()] {
                    if (auto self = weak.lock())
                        self->readInBackground();
                });
            }
            return recent_->latest;
        }
    }
    return recentSnapshot();
}

void X11WindowList::readInBackground() {
    for (;;) {
        recentSnapshot();
        std::lock_guard lock(recent_->mutex);
        if (!recent_->backgroundQueued) {
            recent_->readingInBackground = false;
            return;
        }
        recent_->backgroundQueued = false;
    }
}

void X11WindowList::invalidate() {
    // Our own requests change windows too: every client is read afresh next time.
    {
        std::lock_guard lock(recent_->mutex);
        recent_->allStale = true;
    }
    recent_->invalidate();
}

void X11WindowList::Recent::invalidate() {
    std::lock_guard lock(mutex);
    snapshot.reset();
    ++changes;
}

void X11WindowList::Recent::markStale(xcb_window_t window) {
    std::lock_guard lock(mutex);
    stale.insert(window);
}

xcb_window_t X11WindowList::activeWindow() {
    auto* c = connection_->get();
    auto reply = XcbProperty::reply(
        c, XcbProperty::request(c, connection_->root(), connection_->atoms()._NET_ACTIVE_WINDOW,
                                XCB_ATOM_WINDOW, 1));
    return XcbProperty::first32(reply).value_or(XCB_NONE);
}

std::optional<std::uint32_t> X11WindowList::currentDesktop() {
    auto* c = connection_->get();
    auto reply = XcbProperty::reply(
        c, XcbProperty::request(c, connection_->root(), connection_->atoms()._NET_CURRENT_DESKTOP,
                                XCB_ATOM_CARDINAL, 1));
    return XcbProperty::first32(reply);
}

X11WindowSnapshot X11WindowList::snapshot() {
    std::lock_guard reading(readMutex_);
    return readSnapshot();
}

X11WindowSnapshot X11WindowList::readSnapshot() {
    auto* c = connection_->get();
    const auto& a = connection_->atoms();
    xcb_window_t root = connection_->root();
    X11WindowSnapshot result;
    result.requestWaves = 1;
    auto treeCookie = xcb_query_tree(c, root);
    auto clientsCookie = XcbProperty::request(c, root, a._NET_CLIENT_LIST, XCB_ATOM_WINDOW);
    auto stackingCookie =
        XcbProperty::request(c, root, a._NET_CLIENT_LIST_STACKING, XCB_ATOM_WINDOW);
    auto activeCookie = XcbProperty::request(c, root, a._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    auto desktopCookie =
        XcbProperty::request(c, root, a._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);

    xcb_generic_error_t* error = nullptr;
    auto tree = own(xcb_query_tree_reply(c, treeCookie, &error), error);
    auto clients = XcbProperty::values32(XcbProperty::reply(c, clientsCookie));
    auto stacking = XcbProperty::values32(XcbProperty::reply(c, stackingCookie));
    result.active = XcbProperty::first32(XcbProperty::reply(c, activeCookie)).value_or(XCB_NONE);
    result.currentDesktop = XcbProperty::first32(XcbProperty::reply(c, desktopCookie));
    std::vector<xcb_window_t> ids;
    if (clients)
        ids.assign(clients->begin(), clients->end());
    std::vector<xcb_window_t> parents;
    result.windows = refreshKnown(ids, parents);
    if (!clients)
        return result;
    result.requestWaves++;
    std::vector<xcb_window_t> rootChildren;
    if (tree) {
        auto* children = xcb_query_tree_children(tree.get());
        rootChildren.assign(children, children + xcb_query_tree_children_length(tree.get()));
    }
    result.requestWaves +=
        orderByStacking(result.windows, parents, rootChildren,
                        stacking ? std::vector<xcb_window_t>(stacking->begin(), stacking->end())
                                 : std::vector<xcb_window_t>{});
    return result;
}

std::vector<X11Window> X11WindowList::refreshKnown(const std::vector<xcb_window_t>& ids,
                                                   std::vector<xcb_window_t>& parents) {
    std::unordered_set<xcb_window_t> stale;
    bool allStale = false;
    {
        // Taken before the requests go out: a change the server makes after reading a window
        // marks it again, so it is never lost.
        std::lock_guard lock(recent_->mutex);
        stale.swap(recent_->stale);
        allStale = std::exchange(recent_->allStale, false);
    }
    std::unordered_set<xcb_window_t> listed(ids.begin(), ids.end());
    std::erase_if(known_, [&listed](const auto& entry) { return !listed.count(entry.first); });
    std::vector<xcb_window_t> fresh, toRead;
    for (xcb_window_t id : ids) {
        const bool isKnown = known_.count(id) != 0;
        if (!isKnown)
            fresh.push_back(id);
        if (!isKnown || allStale || stale.count(id))
            toRead.push_back(id);
    }
    watch(fresh);
    std::vector<xcb_window_t> readParents;
    auto read = readWindows(toRead, &readParents);
    for (const auto& id : toRead)
        known_.erase(id);  // a window gone while it was read is left out
    for (std::size_t i = 0; i < read.size(); ++i)
        known_[read[i].id] = Known{std::move(read[i]), readParents[i]};

    std::vector<X11Window> windows;
    windows.reserve(ids.size());
    for (xcb_window_t id : ids) {
        auto it = known_.find(id);
        if (it == known_.end())
            continue;
        windows.push_back(it->second.window);
        parents.push_back(it->second.parent);
    }
    return windows;
}

void X11WindowList::watch(const std::vector<xcb_window_t>& ids) {
    auto* c = connection_->get();
    // Our mask on a client is ours alone; the client's and the manager's stay as they are.
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    for (xcb_window_t id : ids) {
        // A client may be gone already: its error is dropped, not reported.
        auto cookie = xcb_change_window_attributes_checked(c, id, XCB_CW_EVENT_MASK, &mask);
        xcb_discard_reply(c, cookie.sequence);
    }
}

std::optional<X11Window> X11WindowList::read(xcb_window_t window) {
    auto windows = readWindows({window}, nullptr);
    if (windows.empty())
        return std::nullopt;
    return windows.front();
}

std::vector<X11Window> X11WindowList::readWindows(const std::vector<xcb_window_t>& ids,
                                                  std::vector<xcb_window_t>* parents) {
    auto* c = connection_->get();
    const auto& a = connection_->atoms();
    xcb_window_t root = connection_->root();
    bool resources = connection_->hasResourceExtension();

    std::vector<Requests> requests;
    requests.reserve(ids.size());
    for (xcb_window_t id : ids) {
        Requests r;
        r.pid = XcbProperty::request(c, id, a._NET_WM_PID, XCB_ATOM_CARDINAL, 1);
        r.type = XcbProperty::request(c, id, a._NET_WM_WINDOW_TYPE, XCB_ATOM_ATOM, 32);
        r.state = XcbProperty::request(c, id, a._NET_WM_STATE, XCB_ATOM_ATOM, 64);
        r.transient = XcbProperty::request(c, id, a.WM_TRANSIENT_FOR, XCB_ATOM_WINDOW, 1);
        r.netName = XcbProperty::request(c, id, a._NET_WM_NAME, a.UTF8_STRING, 1024);
        r.name = XcbProperty::request(c, id, a.WM_NAME, XCB_ATOM_ANY, 1024);
        r.wmClass = XcbProperty::request(c, id, a.WM_CLASS, XCB_ATOM_STRING, 256);
        r.actions = XcbProperty::request(c, id, a._NET_WM_ALLOWED_ACTIONS, XCB_ATOM_ATOM, 64);
        r.desktop = XcbProperty::request(c, id, a._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1);
        r.attributes = xcb_get_window_attributes(c, id);
        r.geometry = xcb_get_geometry(c, id);
        r.position = xcb_translate_coordinates(c, id, root, 0, 0);
        r.tree = xcb_query_tree(c, id);
        if (resources) {
            xcb_res_client_id_spec_t spec{id, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
            r.owner = xcb_res_query_client_ids(c, 1, &spec);
        }
        requests.push_back(r);
    }

    std::vector<X11Window> windows;
    windows.reserve(ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const Requests& r = requests[i];
        X11Window w;
        w.id = ids[i];
        xcb_generic_error_t* error = nullptr;
        auto attributes = own(xcb_get_window_attributes_reply(c, r.attributes, &error), error);
        auto geometry = own(xcb_get_geometry_reply(c, r.geometry, nullptr));
        auto position = own(xcb_translate_coordinates_reply(c, r.position, nullptr));
        auto tree = own(xcb_query_tree_reply(c, r.tree, nullptr));
        auto declaredPid = XcbProperty::first32(XcbProperty::reply(c, r.pid));
        auto types = XcbProperty::values32(XcbProperty::reply(c, r.type));
        auto state = XcbProperty::values32(XcbProperty::reply(c, r.state));
        auto transient = XcbProperty::first32(XcbProperty::reply(c, r.transient));
        auto netName =
            XcbProperty::text(XcbProperty::reply(c, r.netName), a.UTF8_STRING, a.COMPOUND_TEXT);
        auto name =
            XcbProperty::text(XcbProperty::reply(c, r.name), a.UTF8_STRING, a.COMPOUND_TEXT);
        auto wmClass = XcbProperty::strings(XcbProperty::reply(c, r.wmClass));
        auto actions = XcbProperty::values32(XcbProperty::reply(c, r.actions));
        auto desktop = XcbProperty::first32(XcbProperty::reply(c, r.desktop));
        std::optional<Pid> serverPid;
        if (r.owner)
            serverPid = ownerPid(c, *r.owner);
        // Every reply is read (and freed) before a vanished window is dropped.
        if (!attributes)
            continue;

        w.pid = serverPid.value_or(static_cast<Pid>(declaredPid.value_or(0)));
        w.title = netName.value_or(name.value_or(""));
        if (!wmClass.empty())
            w.instanceName = wmClass[0];
        if (wmClass.size() > 1)
            w.className = wmClass[1];
        w.transientFor = (transient && *transient != root) ? *transient : XCB_NONE;
        w.kind = kindOf(a, types, w.transientFor != XCB_NONE);
        w.skipTaskbar = contains(state, a._NET_WM_STATE_SKIP_TASKBAR);
        w.hidden = contains(state, a._NET_WM_STATE_HIDDEN);
        w.modal = contains(state, a._NET_WM_STATE_MODAL);
        if (actions)
            w.closeAllowed = contains(actions, a._NET_WM_ACTION_CLOSE);
        w.desktop = desktop;
        w.viewable = attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        if (geometry && position) {
            w.frame = Rect{double(position->dst_x), double(position->dst_y),
                           double(geometry->width), double(geometry->height)};
        }
        windows.push_back(std::move(w));
        if (parents)
            parents->push_back(tree ? tree->parent : XCB_NONE);
    }
    return windows;
}

int X11WindowList::orderByStacking(std::vector<X11Window>& windows,
                                   const std::vector<xcb_window_t>& parents,
                                   const std::vector<xcb_window_t>& rootChildren,
                                   const std::vector<xcb_window_t>& stackingList) {
    auto* c = connection_->get();
    xcb_window_t root = connection_->root();
    // The root's children are the managers' frames, bottom to top. A client's place is its
    // frame's place; _NET_CLIENT_LIST_STACKING is not kept in order by every manager (fluxbox).
    std::unordered_map<xcb_window_t, int> frameRank;
    for (std::size_t i = 0; i < rootChildren.size(); ++i)
        frameRank[rootChildren[i]] = static_cast<int>(i);
    std::vector<xcb_window_t> ancestor(windows.size());
    for (std::size_t i = 0; i < windows.size(); ++i)
        ancestor[i] = parents[i] == root ? windows[i].id : parents[i];
    int waves = 0;

    for (int depth = 0; depth < kMaxFrameDepth; ++depth) {
        std::map<xcb_window_t, xcb_query_tree_cookie_t> pending;
        for (xcb_window_t w : ancestor) {
            if (w != XCB_NONE && !frameRank.count(w) && !pending.count(w))
                pending[w] = xcb_query_tree(c, w);
        }
        if (pending.empty())
            break;
        ++waves;
        std::unordered_map<xcb_window_t, xcb_window_t> parentOf;
        for (auto& [w, cookie] : pending) {
            auto tree = own(xcb_query_tree_reply(c, cookie, nullptr));
            parentOf[w] = tree ? tree->parent : XCB_NONE;
        }
        for (auto& w : ancestor) {
            auto it = parentOf.find(w);
            if (it == parentOf.end())
                continue;
            // A top level that was not among the root's children a moment ago has no rank.
            w = (it->second == XCB_NONE || it->second == root) ? XCB_NONE : it->second;
        }
    }

    std::unordered_map<xcb_window_t, int> stackRank;
    for (std::size_t i = 0; i < stackingList.size(); ++i)
        stackRank[stackingList[i]] = static_cast<int>(i);
    struct Ranked {
        int frame, stack;
        std::size_t index;
    };
    std::vector<Ranked> ranks;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        auto f = frameRank.find(ancestor[i]);
        auto s = stackRank.find(windows[i].id);
        ranks.push_back(
            {f == frameRank.end() ? -1 : f->second, s == stackRank.end() ? -1 : s->second, i});
    }
    std::stable_sort(ranks.begin(), ranks.end(), [](const Ranked& l, const Ranked& r) {
        if (l.frame != r.frame)
            return l.frame > r.frame;
        return l.stack > r.stack;
    });
    std::vector<X11Window> ordered;
    ordered.reserve(windows.size());
    for (const auto& rank : ranks)
        ordered.push_back(std::move(windows[rank.index]));
    windows = std::move(ordered);
    return waves;
}

}  // namespace vantlo
