#include "onboarding/GuidePermissionCheck.h"

#include <cstdlib>
#include <string_view>

#include "platform/Platform.h"

namespace vantlo {
namespace {

bool isSet(const char* value) {
    return value != nullptr && *value != '\0';
}

}  // namespace

GuidePermissionCheck::GuidePermissionCheck(OnboardingManager& guide, Sources sources,
                                           ProblemHandler onProblem)
    : guide_(guide), sources_(std::move(sources)), onProblem_(std::move(onProblem)) {}

GuidePermissionCheck::~GuidePermissionCheck() {
    stop();
}

void GuidePermissionCheck::start() {
    stop();
    checkNow();
    scheduleNext();
}

void GuidePermissionCheck::stop() {
    if (next_)
        next_->cancel();
    next_.reset();
}

void GuidePermissionCheck::scheduleNext() {
    next_ = std::make_shared<WorkItem>([this] {
        checkNow();
        scheduleNext();
    });
    platform().dispatch->asyncAfter(kIntervalSeconds, next_);
}

GuidePermissionProblem GuidePermissionCheck::checkNow() {
    auto problem = GuidePermissionProblem::none;
    if (sources_.waylandSession && sources_.waylandSession())
        problem = GuidePermissionProblem::waylandSession;
    else if (sources_.windowManager && !sources_.windowManager())
        problem = GuidePermissionProblem::noWindowManager;
    else if (sources_.ensureHotKey && !sources_.ensureHotKey())
        problem = GuidePermissionProblem::hotKeyTaken;
    bool changed = !checkedOnce_ || problem != problem_;
    checkedOnce_ = true;
    problem_ = problem;
    if (changed && onProblem_)
        onProblem_(problem);
    if (problem == GuidePermissionProblem::none)
        guide_.permissionDidBecomeTrusted();
    return problem;
}

bool GuidePermissionCheck::isWaylandSession(const char* sessionType, const char* waylandDisplay,
                                            const char* x11Display) {
    if (isSet(sessionType))
        return std::string_view(sessionType) == "wayland";
    return isSet(waylandDisplay) && !isSet(x11Display);
}

bool GuidePermissionCheck::isWaylandSessionFromEnvironment() {
    return isWaylandSession(std::getenv("XDG_SESSION_TYPE"), std::getenv("WAYLAND_DISPLAY"),
                            std::getenv("DISPLAY"));
}

}  // namespace vantlo
