#include "platform/linux/X11ActivationQueue.h"

#include <algorithm>

#include "platform/linux/X11WindowList.h"

namespace vantlo {
namespace {

constexpr std::uint32_t kSourcePager = 2;
constexpr std::uint32_t kStackAbove = 0;

}  // namespace

std::shared_ptr<X11ActivationQueue> X11ActivationQueue::create(
    std::shared_ptr<X11Requests> requests, std::shared_ptr<Dispatch> dispatch,
    std::function<void()> sent) {
    return std::shared_ptr<X11ActivationQueue>(
        new X11ActivationQueue(std::move(requests), std::move(dispatch), std::move(sent)));
}

X11ActivationQueue::X11ActivationQueue(std::shared_ptr<X11Requests> requests,
                                       std::shared_ptr<Dispatch> dispatch,
                                       std::function<void()> sent)
    : requests_(std::move(requests)), dispatch_(std::move(dispatch)), sent_(std::move(sent)) {}

void X11ActivationQueue::activate(xcb_window_t window) {
    {
        std::lock_guard lock(mutex_);
        std::erase(pending_, window);
        pending_.push_back(window);
        if (scheduled_)
            return;
        scheduled_ = true;
    }
    if (!dispatch_) {
        sendPending();
        return;
    }
    std::weak_ptr<X11ActivationQueue> weak = weak_from_this();
    dispatch_->async([weak] {
        if (auto self = weak.lock())
            self->sendPending();
    });
}

void X11ActivationQueue::sendPending() {
    std::vector<xcb_window_t> windows;
    {
        std::lock_guard lock(mutex_);
        windows.swap(pending_);
        scheduled_ = false;
    }
    if (windows.empty())
        return;
    send(windows);
    if (sent_)
        sent_();
}

void X11ActivationQueue::send(const std::vector<xcb_window_t>& windows) {
    const xcb_window_t wanted = windows.back();
    const auto context = requests_->readActivationContext(wanted);
    if (!context.windowExists)
        return;
    const auto& a = requests_->atoms();
    for (auto it = windows.begin(); it + 1 != windows.end(); ++it) {
        // EWMH: _NET_RESTACK_WINDOW data.l[0] = source indication, l[1] = sibling window,
        // l[2] = detail (Above); no sibling raises the window to the top of its layer.
        requests_->sendToWindowManager(*it, a._NET_RESTACK_WINDOW,
                                       {kSourcePager, XCB_NONE, kStackAbove, 0, 0});
    }
    if (context.windowDesktop && *context.windowDesktop != kAllDesktops && context.currentDesktop &&
        *context.windowDesktop != *context.currentDesktop) {
        // Some managers only mark a window on another desktop as demanding attention: switch
        // there first. EWMH: _NET_CURRENT_DESKTOP data.l[0] = new_index, l[1] = timestamp.
        requests_->sendToWindowManager(requests_->root(), a._NET_CURRENT_DESKTOP,
                                       {*context.windowDesktop, context.time, 0, 0, 0});
    }
    // EWMH: _NET_ACTIVE_WINDOW data.l[0] = source indication, l[1] = timestamp, l[2] = the
    // requestor's currently active window.
    requests_->sendToWindowManager(wanted, a._NET_ACTIVE_WINDOW,
                                   {kSourcePager, context.time, context.activeWindow, 0, 0});
    requests_->flush();
}

}  // namespace vantlo
