#include "platform/linux/X11PanelWindowHints.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vantlo::X11PanelWindowHints {
namespace {

xcb_connection_t* qtConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

std::vector<xcb_atom_t> intern(xcb_connection_t* connection,
                               const std::vector<const char*>& names) {
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const char* name : names)
        cookies.push_back(
            xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name));
    std::vector<xcb_atom_t> atoms;
    for (auto cookie : cookies) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        atoms.push_back(reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE));
        std::free(reply);
    }
    return atoms;
}

}  // namespace

void markSwitcherPanel(std::uint32_t window) {
    xcb_connection_t* connection = qtConnection();
    if (!connection || window == 0)
        return;
    const auto atoms = intern(
        connection, {"_NET_WM_STATE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                     "_NET_WM_STATE_STICKY", "_NET_WM_STATE_ABOVE", "_NET_WM_DESKTOP"});
    for (xcb_atom_t atom : atoms) {
        if (atom == XCB_ATOM_NONE)
            return;
    }
    // EWMH: a client sets _NET_WM_STATE itself before mapping; the window manager honours it
    // when the window is mapped. Qt adds its own states to this list when it shows the window.
    const std::array<xcb_atom_t, 4> states = {atoms[1], atoms[2], atoms[3], atoms[4]};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms[0], XCB_ATOM_ATOM, 32,
                        states.size(), states.data());
    // EWMH: "0xFFFFFFFF indicates that the window SHOULD appear on all desktops."
    const std::uint32_t allDesktops = 0xFFFFFFFF;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atoms[5], XCB_ATOM_CARDINAL, 32,
                        1, &allDesktops);
    xcb_flush(connection);
}

}  // namespace vantlo::X11PanelWindowHints
