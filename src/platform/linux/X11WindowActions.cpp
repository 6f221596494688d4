#include "platform/linux/X11WindowActions.h"

namespace vantlo {
namespace {

constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kIconicState = 3;

}  // namespace

X11WindowActions::X11WindowActions(std::shared_ptr<XcbConnection> connection,
                                   std::shared_ptr<X11WindowList> windows)
    : connection_(std::move(connection)), windows_(std::move(windows)) {}

bool X11WindowActions::activate(xcb_window_t window) {
    auto facts = windows_->read(window);
    if (!facts)
        return false;
    windows_->invalidate();
    const auto& a = connection_->atoms();
    xcb_timestamp_t time = connection_->serverTime();
    auto current = windows_->currentDesktop();
    if (facts->desktop && *facts->desktop != kAllDesktops && current &&
        *facts->desktop != *current) {
        // EWMH: _NET_CURRENT_DESKTOP data.l[0] = new_index, data.l[1] = timestamp.
        connection_->sendToWindowManager(connection_->root(), a._NET_CURRENT_DESKTOP,
                                         {*facts->desktop, time, 0, 0, 0});
    }
    // EWMH: _NET_ACTIVE_WINDOW data.l[0] = source indication, l[1] = timestamp, l[2] = the
    // requestor's currently active window.
    connection_->sendToWindowManager(window, a._NET_ACTIVE_WINDOW,
                                     {kSourcePager, time, windows_->activeWindow(), 0, 0});
    connection_->flush();
    return true;
}

bool X11WindowActions::minimise(xcb_window_t window) {
    if (!windows_->read(window))
        return false;
    windows_->invalidate();
    connection_->sendToWindowManager(window, connection_->atoms().WM_CHANGE_STATE,
                                     {kIconicState, 0, 0, 0, 0});
    connection_->flush();
    return true;
}

bool X11WindowActions::close(xcb_window_t window) {
    if (!windows_->read(window))
        return false;
    windows_->invalidate();
    // EWMH: _NET_CLOSE_WINDOW data.l[0] = timestamp, l[1] = source indication (the reverse of
    // _NET_ACTIVE_WINDOW's order).
    connection_->sendToWindowManager(window, connection_->atoms()._NET_CLOSE_WINDOW,
                                     {connection_->serverTime(), kSourcePager, 0, 0, 0});
    connection_->flush();
    return true;
}

}  // namespace vantlo
