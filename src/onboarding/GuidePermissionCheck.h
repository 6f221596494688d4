#pragma once
// What the guide's permission step means on Linux, and its once-a-second check while the guide
// window is open. Vantlo is "trusted" when it runs in an X11 session with an EWMH window manager
// AND holds its activation hot key. The first of these that fails is the problem the guide names;
// when none fails, the guide moves on to summoning the switcher. The hot key is registered again
// on every check, so a key the user frees in the desktop's settings is picked up without a
// restart.

#include <functional>
#include <string>

#include "onboarding/OnboardingManager.h"
#include "platform/Dispatch.h"

namespace vantlo {

enum class GuidePermissionProblem {
    none,
    waylandSession,   // the desktop runs Wayland: Vantlo sees no X11 windows there
    noWindowManager,  // nothing on the display keeps the EWMH window lists
    hotKeyTaken,      // another program holds the activation hot key
};

class GuidePermissionCheck {
  public:
    static constexpr double kIntervalSeconds = 1.0;

    struct Sources {
        std::function<bool()> waylandSession;
        std::function<bool()> windowManager;
        // Registers the activation hot key when it is not held yet; whether it is held now.
        std::function<bool()> ensureHotKey;
    };
    using ProblemHandler = std::function<void(GuidePermissionProblem)>;

    GuidePermissionCheck(OnboardingManager& guide, Sources sources, ProblemHandler onProblem);
    ~GuidePermissionCheck();
    GuidePermissionCheck(const GuidePermissionCheck&) = delete;
    GuidePermissionCheck& operator=(const GuidePermissionCheck&) = delete;

    // Checks now, then every second until `stop` (or destruction). The handler hears the
    // problem after each check that changes it; with no problem left at the permissions stage
    // the guide moves on to summon.
    void start();
    void stop();
    // One check at once ("Try again").
    GuidePermissionProblem checkNow();
    GuidePermissionProblem problem() const { return problem_; }

    // The session type as the login manager sets it: Wayland when XDG_SESSION_TYPE says so, or,
    // without it, when a Wayland display is named and no X11 one.
    static bool isWaylandSession(const char* sessionType, const char* waylandDisplay,
                                 const char* x11Display);
    static bool isWaylandSessionFromEnvironment();

  private:
    void scheduleNext();

    OnboardingManager& guide_;
    Sources sources_;
    ProblemHandler onProblem_;
    GuidePermissionProblem problem_ = GuidePermissionProblem::none;
    bool checkedOnce_ = false;
    WorkItemRef next_;
};

}  // namespace vantlo
