#include "platform/linux/X11ActivationQueue.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <vector>

#include "platform/linux/X11WindowList.h"
#include "testing/FakeClock.h"
#include "testing/FakeDispatch.h"

namespace vantlo {
namespace {

constexpr xcb_window_t kRoot = 1;

// Records what would have gone to the window manager; windows are described by the test.
class RecordingRequests : public X11Requests {
  public:
    struct Sent {
        xcb_window_t window;
        xcb_atom_t type;
        std::array<std::uint32_t, 5> data;
    };
    struct Window {
        std::optional<std::uint32_t> desktop;
    };

    RecordingRequests() {
        atoms_._NET_ACTIVE_WINDOW = 101;
        atoms_._NET_RESTACK_WINDOW = 102;
        atoms_._NET_CURRENT_DESKTOP = 103;
    }

    const XcbAtoms& atoms() const override { return atoms_; }
    xcb_window_t root() const override { return kRoot; }
    ActivationContext readActivationContext(xcb_window_t window) override {
        ++timeReads;
        ActivationContext context;
        auto it = windows.find(window);
        context.windowExists = it != windows.end();
        context.time = nextTime++;
        context.currentDesktop = currentDesktop;
        context.activeWindow = active;
        if (context.windowExists)
            context.windowDesktop = it->second.desktop;
        return context;
    }
    xcb_timestamp_t serverTime() override {
        ++timeReads;
        return nextTime++;
    }
    void sendToWindowManager(xcb_window_t window, xcb_atom_t type,
                             const std::array<std::uint32_t, 5>& data) override {
        sent.push_back({window, type, data});
    }
    void flush() override { ++flushes; }

    std::vector<Sent> sentOf(xcb_atom_t type) const {
        std::vector<Sent> out;
        for (const auto& s : sent) {
            if (s.type == type)
                out.push_back(s);
        }
        return out;
    }

    std::map<xcb_window_t, Window> windows;
    std::uint32_t currentDesktop = 0;
    xcb_window_t active = XCB_NONE;
    std::vector<Sent> sent;
    int timeReads = 0;
    int flushes = 0;
    xcb_timestamp_t nextTime = 5000;

  private:
    XcbAtoms atoms_;
};

struct Desk {
    std::shared_ptr<FakeDispatch> dispatch =
        std::make_shared<FakeDispatch>(std::make_shared<FakeClock>());
    std::shared_ptr<RecordingRequests> requests = std::make_shared<RecordingRequests>();
    int batches = 0;
    std::shared_ptr<X11ActivationQueue> queue =
        X11ActivationQueue::create(requests, dispatch, [this] { ++batches; });

    const XcbAtoms& atoms() const { return requests->atoms(); }

    // How the switcher raises a window of an application with three: every window of the
    // application bottom first, then the application's front window, then main, focused, raise.
    void raiseLikeTheSwitcher(xcb_window_t item) {
        for (xcb_window_t w : {30u, 20u})
            queue->activate(w);
        queue->activate(10);
        for (int step = 0; step < 3; ++step)
            queue->activate(item);
    }
};

TEST(X11ActivationQueue, OneActivationPerTurnForTheWindowFinallyWanted) {
    Desk desk;
    desk.requests->windows = {{10, {0}}, {20, {0}}, {30, {0}}, {40, {0}}};
    desk.requests->active = 10;
    desk.raiseLikeTheSwitcher(40);
    EXPECT_TRUE(desk.requests->sent.empty()) << "nothing goes out before the main queue turns";

    desk.dispatch->runUntilIdle();
    auto activations = desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW);
    ASSERT_EQ(activations.size(), 1u);
    EXPECT_EQ(activations[0].window, 40u);
    EXPECT_EQ(activations[0].data[0], 2u) << "source indication: a pager";
    EXPECT_EQ(activations[0].data[1], 5000u) << "the one server time read";
    EXPECT_EQ(activations[0].data[2], 10u) << "the window active until now";
    EXPECT_EQ(desk.requests->timeReads, 1);
    EXPECT_EQ(desk.batches, 1);
    // The application's other windows come forward in the order asked, before the wanted one.
    ASSERT_EQ(desk.requests->sent.size(), 4u);
    std::vector<xcb_window_t> restacked;
    for (const auto& s : desk.requests->sentOf(desk.atoms()._NET_RESTACK_WINDOW))
        restacked.push_back(s.window);
    EXPECT_EQ(restacked, (std::vector<xcb_window_t>{30, 20, 10}));
    EXPECT_EQ(desk.requests->sent.back().type, desk.atoms()._NET_ACTIVE_WINDOW);

    // The next turn's request is a batch of its own.
    desk.queue->activate(20);
    desk.dispatch->runUntilIdle();
    activations = desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW);
    ASSERT_EQ(activations.size(), 2u);
    EXPECT_EQ(activations[1].window, 20u);
    EXPECT_EQ(desk.requests->timeReads, 2);
}

TEST(X11ActivationQueue, SwitchesDesktopOnlyForAWindowOnAnotherOne) {
    Desk desk;
    desk.requests->windows = {{10, {1}}, {20, {kAllDesktops}}, {30, {std::nullopt}}};
    desk.queue->activate(10);
    desk.dispatch->runUntilIdle();
    auto switches = desk.requests->sentOf(desk.atoms()._NET_CURRENT_DESKTOP);
    ASSERT_EQ(switches.size(), 1u);
    EXPECT_EQ(switches[0].window, kRoot);
    EXPECT_EQ(switches[0].data[0], 1u);
    EXPECT_EQ(switches[0].data[1],
              desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW)[0].data[1])
        << "both requests carry the same time";
    EXPECT_EQ(desk.requests->sent.back().type, desk.atoms()._NET_ACTIVE_WINDOW)
        << "the desktop switch comes first";

    for (xcb_window_t window : {20u, 30u}) {
        desk.requests->sent.clear();
        desk.queue->activate(window);
        desk.dispatch->runUntilIdle();
        EXPECT_TRUE(desk.requests->sentOf(desk.atoms()._NET_CURRENT_DESKTOP).empty())
            << "window " << window << " is on every desktop or on none named";
        EXPECT_EQ(desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW).size(), 1u)
            << "window " << window;
    }
}

TEST(X11ActivationQueue, AWindowGoneByTheTurnIsLeftAlone) {
    Desk desk;
    desk.requests->windows = {{10, {0}}};
    desk.queue->activate(10);
    desk.queue->activate(99);
    desk.dispatch->runUntilIdle();
    EXPECT_TRUE(desk.requests->sent.empty());
    EXPECT_EQ(desk.requests->timeReads, 1);
}

TEST(X11ActivationQueue, SendingEarlyKeepsTheOrderAndSendsOnce) {
    Desk desk;
    desk.requests->windows = {{10, {0}}};
    desk.queue->activate(10);
    // What a minimise or close of another window does before its own request.
    desk.queue->sendPending();
    EXPECT_EQ(desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW).size(), 1u);
    desk.dispatch->runUntilIdle();
    EXPECT_EQ(desk.requests->sentOf(desk.atoms()._NET_ACTIVE_WINDOW).size(), 1u)
        << "the scheduled turn finds nothing left";
    EXPECT_EQ(desk.batches, 1);
    EXPECT_EQ(desk.requests->flushes, 1);
}

}  // namespace
}  // namespace vantlo
