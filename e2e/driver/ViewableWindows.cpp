#include "ViewableWindows.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace vantlo::driver {
namespace {

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

// The reply, or nullptr when the request failed (the window is gone); the error is dropped.
template <typename Reply>
Owned<Reply> owned(Reply* reply, xcb_generic_error_t* error) {
    std::free(error);
    return Owned<Reply>(reply, &std::free);
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    xcb_generic_error_t* error = nullptr;
    auto reply = owned(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, std::strlen(name), name), &error), error);
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

std::string textOf(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    auto reply = owned(xcb_get_property_reply(c, cookie, &error), error);
    if (!reply || reply->format != 8)
        return {};
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

struct Requests {
    xcb_window_t window;
    xcb_get_window_attributes_cookie_t attributes;
    xcb_get_property_cookie_t netName;
    xcb_get_property_cookie_t name;
};

}  // namespace

int printViewableWindows(const std::string& title) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c) != 0) {
        xcb_disconnect(c);
        std::fputs("driver: no X display\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = internAtom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8 = internAtom(c, "UTF8_STRING");
    xcb_generic_error_t* error = nullptr;
    auto tree = owned(xcb_query_tree_reply(c, xcb_query_tree(c, root), &error), error);
    std::vector<Requests> requests;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        // The tree lists the bottom of the stack first.
        for (int i = xcb_query_tree_children_length(tree.get()) - 1; i >= 0; --i) {
            const xcb_window_t w = children[i];
            requests.push_back(
                {w, xcb_get_window_attributes(c, w),
                 xcb_get_property(c, 0, w, netName, utf8, 0, 1024),
                 xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, 0, 1024)});
        }
    }
    for (const Requests& request : requests) {
        auto attributes =
            owned(xcb_get_window_attributes_reply(c, request.attributes, &error), error);
        std::string name = textOf(c, request.netName);
        std::string legacyName = textOf(c, request.name);
        if (name.empty())
            name = legacyName;
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && name == title)
            std::printf("%u\n", request.window);
    }
    xcb_disconnect(c);
    return 0;
}

}  // namespace vantlo::driver
