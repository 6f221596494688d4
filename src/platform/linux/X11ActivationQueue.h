#pragma once
// Gathers the activations asked for during one turn of the main queue and sends the window
// manager one _NET_ACTIVE_WINDOW for the window finally wanted. Raising a window the way the
// switcher does asks several times (each window of its application, then main, focused,
// raise); sent one by one, each would cost a server-time round trip and make the manager move
// focus k+3 times. The windows asked for before the last are raised (_NET_RESTACK_WINDOW) in
// the order asked, so an application's windows still come forward together.

#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/Dispatch.h"
#include "platform/linux/X11Requests.h"

namespace vantlo {

class X11ActivationQueue : public std::enable_shared_from_this<X11ActivationQueue> {
  public:
    // `sent` runs after every batch that went out (the window list is out of date then). Without
    // a main queue every activation goes out at once.
    static std::shared_ptr<X11ActivationQueue> create(std::shared_ptr<X11Requests> requests,
                                                      std::shared_ptr<Dispatch> dispatch,
                                                      std::function<void()> sent = {});

    // Asks for the window to be activated; the request goes out on the main queue's next turn
    // (or at the next sendPending()). Safe from any thread.
    void activate(xcb_window_t window);
    // Sends what was asked for now: other requests about windows call it first so the manager
    // sees everything in the order it was asked. Reads one server time; a window that is gone
    // by then is left to rest.
    void sendPending();

  private:
    X11ActivationQueue(std::shared_ptr<X11Requests> requests, std::shared_ptr<Dispatch> dispatch,
                       std::function<void()> sent);
    void send(const std::vector<xcb_window_t>& windows);

    std::shared_ptr<X11Requests> requests_;
    std::shared_ptr<Dispatch> dispatch_;
    std::function<void()> sent_;
    std::mutex mutex_;
    // Distinct windows, each at the place it was last asked for; the last is the one wanted.
    std::vector<xcb_window_t> pending_;
    bool scheduled_ = false;
};

}  // namespace vantlo
