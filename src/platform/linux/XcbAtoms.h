#pragma once
// The X atoms the desktop backend speaks (EWMH, ICCCM, Motif and its own), interned once per
// connection in one pipelined wave.

#include <xcb/xcb.h>

namespace vantlo {

#define VANTLO_XCB_ATOMS(X)             \
    X(UTF8_STRING)                      \
    X(COMPOUND_TEXT)                    \
    X(WM_PROTOCOLS)                     \
    X(WM_DELETE_WINDOW)                 \
    X(WM_CHANGE_STATE)                  \
    X(WM_STATE)                         \
    X(WM_CLASS)                         \
    X(WM_NAME)                          \
    X(WM_TRANSIENT_FOR)                 \
    X(_NET_SUPPORTED)                   \
    X(_NET_SUPPORTING_WM_CHECK)         \
    X(_NET_CLIENT_LIST)                 \
    X(_NET_CLIENT_LIST_STACKING)        \
    X(_NET_ACTIVE_WINDOW)               \
    X(_NET_CURRENT_DESKTOP)             \
    X(_NET_NUMBER_OF_DESKTOPS)          \
    X(_NET_WORKAREA)                    \
    X(_NET_CLOSE_WINDOW)                \
    X(_NET_RESTACK_WINDOW)              \
    X(_NET_WM_NAME)                     \
    X(_NET_WM_PID)                      \
    X(_NET_WM_DESKTOP)                  \
    X(_NET_WM_STATE)                    \
    X(_NET_WM_STATE_HIDDEN)             \
    X(_NET_WM_STATE_MODAL)              \
    X(_NET_WM_STATE_SKIP_TASKBAR)       \
    X(_NET_WM_WINDOW_TYPE)              \
    X(_NET_WM_WINDOW_TYPE_NORMAL)       \
    X(_NET_WM_WINDOW_TYPE_DIALOG)       \
    X(_NET_WM_WINDOW_TYPE_DOCK)         \
    X(_NET_WM_WINDOW_TYPE_DESKTOP)      \
    X(_NET_WM_WINDOW_TYPE_TOOLBAR)      \
    X(_NET_WM_WINDOW_TYPE_MENU)         \
    X(_NET_WM_WINDOW_TYPE_UTILITY)      \
    X(_NET_WM_WINDOW_TYPE_SPLASH)       \
    X(_NET_WM_WINDOW_TYPE_NOTIFICATION) \
    X(_NET_WM_ALLOWED_ACTIONS)          \
    X(_NET_WM_ACTION_CLOSE)             \
    X(_NET_WM_STRUT_PARTIAL)            \
    X(_NET_WM_STRUT)                    \
    X(_VANTLO_TIME)                     \
    X(_VANTLO_WAKE)

struct XcbAtoms {
#define VANTLO_XCB_ATOM_MEMBER(name) xcb_atom_t name = XCB_ATOM_NONE;
    VANTLO_XCB_ATOMS(VANTLO_XCB_ATOM_MEMBER)
#undef VANTLO_XCB_ATOM_MEMBER

    // Interns every atom with all requests sent before the first reply is read. False when the
    // server answered none of them.
    bool intern(xcb_connection_t* connection);
};

}  // namespace vantlo
