#pragma once
// The benchmarks' own X clients: a connection to the default display and the root window of its
// default screen.

#include <xcb/xcb.h>

namespace vantlo::bench {

struct RootConnection {
    xcb_connection_t* connection = nullptr;  // null when the display cannot be opened
    xcb_window_t root = XCB_NONE;

    static RootConnection open() {
        int screenNumber = 0;
        xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection)) {
            xcb_disconnect(connection);
            return {};
        }
        auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screens.rem; ++i)
            xcb_screen_next(&screens);
        return {connection, screens.data->root};
    }
};

}  // namespace vantlo::bench
