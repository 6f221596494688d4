#include "platform/linux/X11Screens.h"

#include <xcb/randr.h>

#include <algorithm>
#include <array>

#include "platform/linux/XcbReply.h"

namespace vantlo {
namespace {

Rect intersect(const Rect& a, const Rect& b) {
    double x = std::max(a.minX(), b.minX());
    double y = std::max(a.minY(), b.minY());
    double right = std::min(a.maxX(), b.maxX());
    double bottom = std::min(a.maxY(), b.maxY());
    if (right <= x || bottom <= y)
        return Rect{};
    return Rect{x, y, right - x, bottom - y};
}

// Removes from a monitor the edges reserved by one strut (given against the whole root).
Rect lessStrut(Rect visible, const std::array<double, 4>& strut, double rootWidth,
               double rootHeight) {
    const auto& [left, right, top, bottom] = strut;
    if (left > 0 && visible.minX() < left) {
        double cut = std::min(left, visible.maxX()) - visible.x;
        visible.x += cut;
        visible.width -= cut;
    }
    if (right > 0 && visible.maxX() > rootWidth - right)
        visible.width = std::max(0.0, rootWidth - right - visible.x);
    if (top > 0 && visible.minY() < top) {
        double cut = std::min(top, visible.maxY()) - visible.y;
        visible.y += cut;
        visible.height -= cut;
    }
    if (bottom > 0 && visible.maxY() > rootHeight - bottom)
        visible.height = std::max(0.0, rootHeight - bottom - visible.y);
    return visible;
}

}  // namespace

X11Screens::X11Screens(std::shared_ptr<XcbConnection> connection,
                       std::shared_ptr<X11WindowList> windows)
    : connection_(std::move(connection)), windows_(std::move(windows)) {}

std::vector<Rect> X11Screens::monitors(xcb_randr_get_monitors_cookie_t* request) {
    auto* c = connection_->get();
    std::vector<Rect> rects;
    if (request != nullptr) {
        auto reply = own(xcb_randr_get_monitors_reply(c, *request, nullptr));
        if (reply) {
            for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
                 xcb_randr_monitor_info_next(&it)) {
                Rect r{double(it.data->x), double(it.data->y), double(it.data->width),
                       double(it.data->height)};
                if (it.data->primary)
                    rects.insert(rects.begin(), r);
                else
                    rects.push_back(r);
            }
        }
    }
    if (rects.empty()) {
        auto* screen = connection_->screen();
        rects.push_back(
            Rect{0, 0, double(screen->width_in_pixels), double(screen->height_in_pixels)});
    }
    return rects;
}

std::optional<Rect> X11Screens::workArea(xcb_get_property_cookie_t desktopRequest,
                                         xcb_get_property_cookie_t areasRequest) {
    auto* c = connection_->get();
    auto desktop = XcbProperty::first32(XcbProperty::reply(c, desktopRequest)).value_or(0);
    auto areas = XcbProperty::values32(XcbProperty::reply(c, areasRequest));
    if (!areas || areas->size() < 4 * (desktop + 1))
        return std::nullopt;
    const auto* area = areas->data() + 4 * desktop;
    return Rect{double(area[0]), double(area[1]), double(area[2]), double(area[3])};
}

std::vector<std::array<double, 4>> X11Screens::struts() {
    auto* c = connection_->get();
    const auto& a = connection_->atoms();
    auto clients = XcbProperty::values32(XcbProperty::reply(
        c, XcbProperty::request(c, connection_->root(), a._NET_CLIENT_LIST, XCB_ATOM_WINDOW)));
    std::vector<std::array<double, 4>> result;
    if (!clients)
        return result;
    std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> cookies;
    for (auto window : *clients) {
        cookies.emplace_back(
            XcbProperty::request(c, window, a._NET_WM_STRUT_PARTIAL, XCB_ATOM_CARDINAL, 12),
            XcbProperty::request(c, window, a._NET_WM_STRUT, XCB_ATOM_CARDINAL, 4));
    }
    for (auto& [partial, plain] : cookies) {
        auto p = XcbProperty::values32(XcbProperty::reply(c, partial));
        auto s = XcbProperty::values32(XcbProperty::reply(c, plain));
        const auto& values = (p && p->size() >= 4) ? p : s;
        if (values && values->size() >= 4)
            result.push_back({double((*values)[0]), double((*values)[1]), double((*values)[2]),
                              double((*values)[3])});
    }
    return result;
}

std::vector<Screen> X11Screens::screens() {
    if (!connection_)
        return {};
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard lock(mutex_);
        if (!recent_.empty() && now - recentAt_ < X11WindowList::kRecentLifetime)
            return recent_;
    }
    auto fresh = readScreens();
    std::lock_guard lock(mutex_);
    recent_ = fresh;
    recentAt_ = now;
    return fresh;
}

std::vector<Screen> X11Screens::readScreens() {
    // The three questions go out together: one round trip to the server.
    auto* c = connection_->get();
    const auto& a = connection_->atoms();
    xcb_window_t root = connection_->root();
    auto desktopRequest =
        XcbProperty::request(c, root, a._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);
    auto areasRequest = XcbProperty::request(c, root, a._NET_WORKAREA, XCB_ATOM_CARDINAL);
    std::optional<xcb_randr_get_monitors_cookie_t> monitorsRequest;
    if (connection_->hasRandr())
        monitorsRequest = xcb_randr_get_monitors(c, root, 1);
    auto area = workArea(desktopRequest, areasRequest);
    auto frames = monitors(monitorsRequest ? &*monitorsRequest : nullptr);
    std::vector<Screen> result;
    std::vector<std::array<double, 4>> reserved;
    if (!area)
        reserved = struts();
    auto* screen = connection_->screen();
    for (const Rect& frame : frames) {
        Screen s;
        s.frame = frame;
        if (area) {
            s.visibleFrame = intersect(frame, *area);
        } else {
            s.visibleFrame = frame;
            for (const auto& strut : reserved)
                s.visibleFrame = lessStrut(s.visibleFrame, strut, screen->width_in_pixels,
                                           screen->height_in_pixels);
        }
        if (s.visibleFrame.width <= 0 || s.visibleFrame.height <= 0)
            s.visibleFrame = frame;
        result.push_back(s);
    }
    return result;
}

std::optional<Screen> X11Screens::mainScreen() {
    auto all = screens();
    if (all.empty())
        return std::nullopt;
    if (auto active = windows_->read(windows_->activeWindow())) {
        Point centre{active->frame.midX(), active->frame.midY()};
        for (const auto& s : all) {
            if (s.frame.contains(centre))
                return s;
        }
    }
    return all.front();
}

Point X11Screens::pointerLocation() {
    if (!connection_)
        return Point{};
    auto* c = connection_->get();
    auto reply =
        own(xcb_query_pointer_reply(c, xcb_query_pointer(c, connection_->root()), nullptr));
    if (!reply)
        return Point{};
    return Point{double(reply->root_x), double(reply->root_y)};
}

}  // namespace vantlo
