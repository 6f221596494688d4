#include "platform/linux/X11BrowserWindowDesk.h"

namespace vantlo {

X11BrowserWindowDesk::X11BrowserWindowDesk(std::shared_ptr<X11WindowList> windows,
                                           std::shared_ptr<X11WindowActions> actions)
    : windows_(std::move(windows)), actions_(std::move(actions)) {}

std::vector<DeskWindow> X11BrowserWindowDesk::windowsOf(Pid pid) {
    std::vector<DeskWindow> result;
    if (!windows_)
        return result;
    auto snapshot = windows_->recentSnapshot();
    for (const auto& window : snapshot->windows) {
        if (window.pid == pid && window.kind == X11Window::Kind::normal)
            result.push_back({window.id, window.title, window.frame});
    }
    return result;
}

std::uint32_t X11BrowserWindowDesk::activeWindow() {
    return windows_ ? windows_->recentSnapshot()->active : 0;
}

void X11BrowserWindowDesk::raise(std::uint32_t window) {
    if (actions_)
        actions_->activate(window);
}

}  // namespace vantlo
