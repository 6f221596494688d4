#include "platform/linux/X11WindowActions.h"

namespace vantlo {
namespace {

constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kIconicState = 3;

}  // namespace

X11WindowActions::X11WindowActions(std::shared_ptr<X11Requests> requests,
                                   std::shared_ptr<X11WindowList> windows,
                                   std::shared_ptr<Dispatch> dispatch)
    : requests_(std::move(requests)), windows_(std::move(windows)) {
    std::weak_ptr<X11WindowList> list = windows_;
    activations_ = X11ActivationQueue::create(requests_, std::move(dispatch), [list] {
        if (auto windows = list.lock())
            windows->invalidate();
    });
}

bool X11WindowActions::activate(xcb_window_t window) {
    if (!requests_)
        return false;
    activations_->activate(window);
    return true;
}

bool X11WindowActions::minimise(xcb_window_t window) {
    activations_->sendPending();
    if (!windows_->read(window))
        return false;
    windows_->invalidate();
    requests_->sendToWindowManager(window, requests_->atoms().WM_CHANGE_STATE,
                                   {kIconicState, 0, 0, 0, 0});
    requests_->flush();
    return true;
}

bool X11WindowActions::close(xcb_window_t window) {
    activations_->sendPending();
    if (!windows_->read(window))
        return false;
    windows_->invalidate();
    // EWMH: _NET_CLOSE_WINDOW data.l[0] = timestamp, l[1] = source indication (the reverse of
    // _NET_ACTIVE_WINDOW's order).
    requests_->sendToWindowManager(window, requests_->atoms()._NET_CLOSE_WINDOW,
                                   {requests_->serverTime(), kSourcePager, 0, 0, 0});
    requests_->flush();
    return true;
}

}  // namespace vantlo
