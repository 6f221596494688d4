#pragma once
// The first-run guide's state machine: the current stage, the events that move it on, and the two
// flags that remember the guide was finished. Views subscribe to stage changes.

#include <functional>
#include <memory>
#include <mutex>

#include "onboarding/OnboardingStage.h"
#include "platform/Dispatch.h"
#include "platform/SubscriberList.h"

namespace vantlo {

class OnboardingManager : public std::enable_shared_from_this<OnboardingManager> {
  public:
    static constexpr const char* didCompleteKey = "Vantlo.DidCompleteInteractiveOnboarding";
    static constexpr const char* hasSeenWelcomeKey = "Vantlo.HasSeenWelcome";
    // How long the finished stage shows before the guide falls back to idle.
    static constexpr double completionResetDelay = 0.4;

    using Observer = std::function<void(OnboardingStage)>;
    static OnboardingManager& shared();
    // Drops the shared instance; the next `shared()` starts at idle (tests).
    static void resetShared();

    OnboardingManager() = default;

    OnboardingStage stage() const;
    // Observers hear about the new stage when it differs from the old one.
    void setStage(OnboardingStage stage);

    // Called with the new stage after each change, on the main thread, while the Subscription
    // lives.
    Subscription observe(Observer observer);

    // permissions -> summon.
    void permissionDidBecomeTrusted();
    // summon -> panelBasics: the switcher has just been shown during the guide.
    void panelDidShow();
    // movement -> actions: the user moved the highlight.
    void noteMove();
    // The card's Next/Done button: one stage on; at actions it completes the guide. From
    // permissions it moves on only once the permission is granted.
    void advance();
    // Finishes or skips the guide: writes both flags, shows `complete`, then idle 0.4 s later
    // unless the guide has been started again meanwhile.
    void complete();
    // The guide window opens afresh: summon when the permission is granted, else permissions.
    void startGuide();

    // Whether the guide was finished or skipped once (then it opens only on request).
    static bool didCompleteInteractiveOnboarding();
    static bool hasSeenWelcome();

  private:
    void moveFrom(OnboardingStage from, OnboardingStage to);
    void scheduleIdleAfterCompletion();
    static bool isTrusted();

    mutable std::mutex mutex_;
    OnboardingStage stage_ = OnboardingStage::idle;
    SubscriberList<Observer> observers_;
    WorkItemRef pendingIdle_;
};

}  // namespace vantlo
