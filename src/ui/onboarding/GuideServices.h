#pragma once
// What the guide window needs from the program above it: the checks of this session, its facts
// (keys, desktop), and the actions that fix a failing check.

#include <functional>

#include "onboarding/DesktopKeyRelease.h"
#include "onboarding/GuidePermissionCheck.h"
#include "onboarding/GuideWindowContent.h"

namespace vantlo {

struct GuideServices {
    GuidePermissionCheck::Sources checks;
    // Read at every render: the hot key may change while the guide is open.
    std::function<GuideFacts()> facts;
    std::function<void()> openPreferences;
    // Changes the desktop's own binding; the outcome arrives on the main queue.
    std::function<void(DesktopKeyRelease::Done)> freeDesktopKey;
};

}  // namespace vantlo
