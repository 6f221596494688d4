#include "app/desktop/AppDelegate.h"

#include "app/desktop/AppGuideServices.h"
#include "app/desktop/StatusBarController.h"
#include "browser/BrowserTabCache.h"
#include "browser/BrowserTabEnumerator.h"
#include "discovery/AppRegistry.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "input/HotkeyStore.h"
#include "onboarding/GuidePermissionCheck.h"
#include "onboarding/OnboardingManager.h"
#include "platform/Platform.h"
#include "ui/onboarding/OnboardingWindowController.h"

namespace vantlo {

AppDelegate::AppDelegate(std::shared_ptr<PanelPresenter> presenter,
                         std::shared_ptr<EventMonitors> monitors, DesktopTarget desktopTarget,
                         BrowserAccessModel::Reader browserAccess)
    : presenter_(std::move(presenter)),
      monitors_(std::move(monitors)),
      desktopTarget_(std::move(desktopTarget)),
      browserAccess_(std::move(browserAccess)) {}

AppDelegate::~AppDelegate() {
    delete onboardingController_.data();
}

void AppDelegate::applicationDidFinishLaunching() {
    warmCaches();
    panelController_ = SwitcherPanelController::create(presenter_, monitors_);
    statusBar_ = std::make_unique<StatusBarController>(browserAccess_);
    registerHotKeys();
    observeNotifications();
    observeWorkspace();
    startBrowserWarmup();
    // One line per step of the guide, for a bug report (and the end-to-end tests).
    guideStageObserver_ = OnboardingManager::shared().observe([](OnboardingStage stage) {
        if (platform().log)
            platform().log->write("[Vantlo] Guide: " + OnboardingStages::name(stage));
    });
    if (!OnboardingManager::didCompleteInteractiveOnboarding())
        QTimer::singleShot(kFirstRunGuideDelayMs, this, [this] { showGuide(); });
}

void AppDelegate::showGuide() {
    if (onboardingController_) {
        onboardingController_->present();
        return;
    }
    OnboardingManager::shared().setStage(isSessionTrusted() ? OnboardingStage::summon
                                                            : OnboardingStage::permissions);
    GuideServices services = appGuideServices(*this, desktopTarget_);
    onboardingController_ = new OnboardingWindowController(std::move(services), [this] {
        // Forgotten once closed; the next showGuide builds a fresh window.
        if (onboardingController_)
            onboardingController_->deleteLater();
        onboardingController_ = nullptr;
    });
    onboardingController_->present();
}

bool AppDelegate::isSessionTrusted() {
    return !GuidePermissionCheck::isWaylandSessionFromEnvironment() &&
           platform().accessibility->isProcessTrusted() && ensureHotKeyRegistered();
}

bool AppDelegate::ensureHotKeyRegistered() {
    if (!isHotKeyRegistered())
        hotKeyForward_ = makeHotKey();
    return isHotKeyRegistered();
}

void AppDelegate::warmCaches() {
    AppRegistry::shared();
    BrowserTabCache::shared();
    refreshFrontmostBrowserTabs();
    WindowEnumeratorCache::shared().refreshAsync();
}

void AppDelegate::refreshFrontmostBrowserTabs() {
    auto front = platform().workspace->frontmostBundleID();
    if (front && BrowserTabEnumerator::isSupportedBrowser(front)) {
        BrowserTabCache::shared().refreshAsync(*front);
    }
}

std::unique_ptr<GlobalHotKey> AppDelegate::makeHotKey() const {
    auto controller = std::weak_ptr<SwitcherPanelController>(panelController_);
    return std::make_unique<GlobalHotKey>(HotkeyStore::current(), [controller] {
        if (auto c = controller.lock())
            c->forward();
    });
}

void AppDelegate::registerHotKeys() {
    hotKeyForward_ = makeHotKey();
    auto& center = *platform().notifications;
    hotkeyChangedObserver_ = center.addObserver(
        HotkeyStore::changedNotification,
        [this](const Notification&) {
            // The new key is registered before the old one lets
            // go.
            auto replacement = makeHotKey();
            hotKeyForward_ = std::move(replacement);
        },
        NotificationCenter::Delivery::mainQueue);
}

void AppDelegate::observeNotifications() {
    auto& center = *platform().notifications;
    auto controller = std::weak_ptr<SwitcherPanelController>(panelController_);
    triggerObserver_ = center.addObserver(
        "Vantlo.triggerForward",
        [controller](const Notification&) {
            if (auto c = controller.lock())
                c->forward();
        },
        NotificationCenter::Delivery::mainQueue);
    guideObserver_ = center.addObserver(
        "Vantlo.showGuide", [this](const Notification&) { showGuide(); },
        NotificationCenter::Delivery::mainQueue);
}

void AppDelegate::observeWorkspace() {
    auto& center = *platform().notifications;
    appActivationObserver_ = center.addObserver(
        kDidActivateApplication,
        [this](const Notification& n) {
            auto* app = std::any_cast<RunningApplication>(&n.object);
            if (!app)
                return;
            MRUStore::shared().touchApp(*app);
            if (BrowserTabEnumerator::isSupportedBrowser(app->bundleIdentifier))
                refreshFrontmostBrowserTabs();
        },
        NotificationCenter::Delivery::mainQueue);
    // Windows of one application share its activation time; between them the list keeps the
    // listing's order, topmost first, so the listing follows every change of focus.
    activeWindowObserver_ = center.addObserver(
        kDidChangeActiveWindow,
        [](const Notification&) { WindowEnumeratorCache::shared().refreshAsync(); },
        NotificationCenter::Delivery::mainQueue);
    appTerminationObserver_ = center.addObserver(
        kDidTerminateApplication,
        [](const Notification&) {
            WindowEnumeratorCache::shared().refreshAsync();
            BrowserTabCache::shared().refreshAsync(std::nullopt);
        },
        NotificationCenter::Delivery::mainQueue);
}

void AppDelegate::startBrowserWarmup() {
    browserWarmupTimer_.setInterval(kBrowserWarmupSeconds * 1000);
    QObject::connect(&browserWarmupTimer_, &QTimer::timeout, this, [] {
        if (!BrowserTabEnumerator::runningBrowserNames().empty())
            BrowserTabCache::shared().refreshAsync(std::nullopt);
    });
    browserWarmupTimer_.start();
}

}  // namespace vantlo
