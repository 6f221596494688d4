#include "platform/linux/XcbRequests.h"

#include "platform/linux/XcbReply.h"

namespace vantlo {

XcbRequests::XcbRequests(std::shared_ptr<XcbConnection> connection)
    : connection_(std::move(connection)) {}

ActivationContext XcbRequests::readActivationContext(xcb_window_t window) {
    ActivationContext context;
    if (connection_->isBroken())
        return context;
    auto* c = connection_->get();
    const auto& a = connection_->atoms();
    xcb_window_t root = connection_->root();
    auto attributes = xcb_get_window_attributes(c, window);
    auto windowDesktop = XcbProperty::request(c, window, a._NET_WM_DESKTOP, XCB_ATOM_CARDINAL, 1);
    auto current = XcbProperty::request(c, root, a._NET_CURRENT_DESKTOP, XCB_ATOM_CARDINAL, 1);
    auto active = XcbProperty::request(c, root, a._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 1);
    // The time's round trip carries the reads: their replies are in by the time it answers.
    context.time = connection_->serverTime();
    xcb_generic_error_t* error = nullptr;
    context.windowExists =
        own(xcb_get_window_attributes_reply(c, attributes, &error), error) != nullptr;
    context.windowDesktop = XcbProperty::first32(XcbProperty::reply(c, windowDesktop));
    context.currentDesktop = XcbProperty::first32(XcbProperty::reply(c, current));
    context.activeWindow = XcbProperty::first32(XcbProperty::reply(c, active)).value_or(XCB_NONE);
    return context;
}

void XcbRequests::sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                                      const std::array<std::uint32_t, 5>& data) {
    connection_->sendToWindowManager(window, type, data);
}

}  // namespace vantlo
