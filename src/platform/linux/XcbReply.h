#pragma once
// Owned xcb replies and the reading of the property shapes the backend meets (32-bit lists,
// windows, texts), so that every reply is checked and freed in one way.

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantlo {

struct XcbFree {
    void operator()(void* pointer) const { std::free(pointer); }
};

template <typename T>
using XcbReply = std::unique_ptr<T, XcbFree>;

// Takes ownership of a reply and drops the error (expected ones: the window is gone).
template <typename T>
XcbReply<T> own(T* reply, xcb_generic_error_t* error = nullptr) {
    std::free(error);
    return XcbReply<T>(reply);
}

using PropertyReply = XcbReply<xcb_get_property_reply_t>;

namespace XcbProperty {

inline xcb_get_property_cookie_t request(xcb_connection_t* c, xcb_window_t window,
                                         xcb_atom_t property, xcb_atom_t type = XCB_ATOM_ANY,
                                         std::uint32_t longLength = 4096) {
    return xcb_get_property(c, 0, window, property, type, 0, longLength);
}

inline PropertyReply reply(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    auto* r = xcb_get_property_reply(c, cookie, &error);
    return PropertyReply(own(r, error).release());
}

// The values of a 32-bit property; nothing when the property is absent or has another format.
std::optional<std::vector<std::uint32_t>> values32(const PropertyReply& reply);
std::optional<std::uint32_t> first32(const PropertyReply& reply);
// A text property as UTF-8: UTF8_STRING as is, COMPOUND_TEXT decoded, STRING (Latin-1) and any
// other type converted from Latin-1.
std::optional<std::string> text(const PropertyReply& reply, xcb_atom_t utf8String,
                                xcb_atom_t compoundText);
// The NUL-separated Latin-1 strings of a property (WM_CLASS: instance, class), as UTF-8.
std::vector<std::string> strings(const PropertyReply& reply);

}  // namespace XcbProperty
}  // namespace vantlo
