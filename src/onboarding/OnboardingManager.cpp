#include "onboarding/OnboardingManager.h"

#include <utility>
#include <vector>

#include "platform/Platform.h"

namespace vantlo {
namespace {

std::shared_ptr<OnboardingManager>& sharedInstance() {
    static std::shared_ptr<OnboardingManager> instance;
    return instance;
}

std::mutex& sharedInstanceMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

OnboardingManager& OnboardingManager::shared() {
    std::lock_guard guard(sharedInstanceMutex());
    auto& instance = sharedInstance();
    if (!instance)
        instance = std::make_shared<OnboardingManager>();
    return *instance;
}

void OnboardingManager::resetShared() {
    std::lock_guard guard(sharedInstanceMutex());
    sharedInstance().reset();
}

OnboardingStage OnboardingManager::stage() const {
    std::lock_guard guard(mutex_);
    return stage_;
}

void OnboardingManager::setStage(OnboardingStage stage) {
    {
        std::lock_guard guard(mutex_);
        if (stage_ == stage)
            return;
        stage_ = stage;
    }
    // An observer removed by an earlier one during this delivery hears nothing more.
    observers_.forEach([stage](const Observer& observer) { observer(stage); });
}

Subscription OnboardingManager::observe(Observer observer) {
    return observers_.add(std::move(observer));
}

void OnboardingManager::moveFrom(OnboardingStage from, OnboardingStage to) {
    if (stage() == from)
        setStage(to);
}

void OnboardingManager::permissionDidBecomeTrusted() {
    moveFrom(OnboardingStage::permissions, OnboardingStage::summon);
}

void OnboardingManager::panelDidShow() {
    moveFrom(OnboardingStage::summon, OnboardingStage::panelBasics);
}

void OnboardingManager::noteMove() {
    moveFrom(OnboardingStage::movement, OnboardingStage::actions);
}

void OnboardingManager::advance() {
    auto current = stage();
    switch (current) {
        case OnboardingStage::idle:
        case OnboardingStage::complete:
            break;
        case OnboardingStage::permissions:
            // The button cannot move on before the permission is really granted.
            if (isTrusted())
                moveFrom(current, OnboardingStage::summon);
            break;
        case OnboardingStage::summon:
            moveFrom(current, OnboardingStage::panelBasics);
            break;
        case OnboardingStage::panelBasics:
            moveFrom(current, OnboardingStage::movement);
            break;
        case OnboardingStage::movement:
            moveFrom(current, OnboardingStage::actions);
            break;
        case OnboardingStage::actions:
            complete();
            break;
    }
}

void OnboardingManager::complete() {
    platform().defaults->set(didCompleteKey, true);
    platform().defaults->set(hasSeenWelcomeKey, true);
    setStage(OnboardingStage::complete);
    scheduleIdleAfterCompletion();
}

void OnboardingManager::scheduleIdleAfterCompletion() {
    std::weak_ptr<OnboardingManager> weakSelf = weak_from_this();
    auto item = std::make_shared<WorkItem>([weakSelf] {
        // Only if the guide was not started again meanwhile.
        if (auto self = weakSelf.lock())
            self->moveFrom(OnboardingStage::complete, OnboardingStage::idle);
    });
    WorkItemRef previous;
    {
        std::lock_guard guard(mutex_);
        previous = std::exchange(pendingIdle_, item);
    }
    // A second completion restarts the delay, so the finished stage always shows for its time.
    if (previous)
        previous->cancel();
    platform().dispatch->asyncAfter(completionResetDelay, item);
}

void OnboardingManager::startGuide() {
    setStage(isTrusted() ? OnboardingStage::summon : OnboardingStage::permissions);
}

bool OnboardingManager::didCompleteInteractiveOnboarding() {
    return platform().defaults->boolean(didCompleteKey).value_or(false);
}

bool OnboardingManager::hasSeenWelcome() {
    return platform().defaults->boolean(hasSeenWelcomeKey).value_or(false);
}

bool OnboardingManager::isTrusted() {
    auto accessibility = platform().accessibility;
    return accessibility && accessibility->isProcessTrusted();
}

}  // namespace vantlo
