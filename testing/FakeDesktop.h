#pragma once
// The scriptable model behind the fake workspace, Accessibility, window server and processes:
// running applications with their windows, the stacking order and the frontmost application.
// Tests build it through the FakePlatform scenario helpers; the fake services read and change it
// and record what they were asked to do in FakeEffects.
//
// Rules of the model:
// - pids are handed out from 501 upward, window numbers from 101 upward, unless a test sets one;
// - windows are kept front to back in one stacking order; a new window opens in front, and an
//   application's windows are listed (AXWindows, the window server) in that order;
// - quitting an application closes its windows, takes it out of the running list and posts
//   kDidTerminateApplication; making another application frontmost posts kDidActivateApplication
//   (both synchronously, with the RunningApplication as object);
// - closed windows keep their records (`closed` is set), so old elements read as stale.
//
// Like the fake dispatch, the model is meant to be driven from the test's thread.

#include <concepts>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "testing/FakeApp.h"
#include "testing/FakeEffects.h"
#include "testing/FakeWindow.h"

namespace vantlo {

class FakeDesktop {
  public:
    FakeDesktop(NotificationCenter& notifications, std::shared_ptr<FakeEffects> effects);

    FakeApp& addApp(FakeApp spec);
    FakeWindow& addWindow(FakeApp& app, FakeWindow spec);
    template <class Title>
    requires std::convertible_to<Title, std::string> FakeWindow& addWindow(FakeApp& app,
                                                                           const Title& title) {
        FakeWindow spec;
        spec.title = std::string(title);
        return addWindow(app, std::move(spec));
    }
    void closeWindow(FakeWindow& window);
    // Ends the application as if it quit by itself.
    void quitApp(FakeApp& app);
    void setFrontmost(FakeApp& app);
    // Brings the window to the front of the stacking order.
    void raise(FakeWindow& window);

    // Lookups; nullptr when unknown (a quit application is still found by pid).
    FakeApp* app(Pid pid);
    FakeApp* appWithBundleID(const std::string& bundleID);
    FakeWindow* window(std::uint32_t number);
    // The listed applications, in launch order.
    std::vector<FakeApp*> runningApps();
    // The application's open windows, front to back.
    std::vector<FakeWindow*> windowsOf(const FakeApp& app);
    // Every open window, front to back.
    std::vector<FakeWindow*> stackingOrder();
    std::optional<Pid> frontmostPid() const { return frontmost_; }

    FakeEffects& effects() { return *effects_; }
    std::recursive_mutex& mutex() { return mutex_; }

  private:
    void terminateLocked(FakeApp& app);

    NotificationCenter& notifications_;
    std::shared_ptr<FakeEffects> effects_;
    std::recursive_mutex mutex_;
    std::deque<FakeApp> apps_;
    std::deque<FakeWindow> windows_;
    std::vector<std::uint32_t> stacking_;  // open windows, front first
    std::optional<Pid> frontmost_;
    Pid nextPid_ = 501;
    std::uint32_t nextWindowNumber_ = 101;
};

}  // namespace vantlo
