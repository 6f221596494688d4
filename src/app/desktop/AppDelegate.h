#pragma once
// The running program on the desktop: warms the caches, owns the switcher controller, the tray
// item and the activation hot key, follows application activations and terminations, and
// refreshes browser tabs every 18 seconds while a browser runs, and opens the first-run guide
// (0.5 s after a start while it was never finished, and on "Vantlo.showGuide"). Lives for the
// whole process.

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>

#include "input/GlobalHotKey.h"
#include "onboarding/DesktopKeyRelease.h"
#include "platform/EventMonitors.h"
#include "platform/NotificationCenter.h"
#include "preferences/BrowserAccessModel.h"
#include "switcher/PanelPresenter.h"
#include "switcher/SwitcherPanelController.h"

namespace vantlo {

class StatusBarController;
class OnboardingWindowController;

class AppDelegate : public QObject {
  public:
    static constexpr int kBrowserWarmupSeconds = 18;
    static constexpr int kFirstRunGuideDelayMs = 500;
    // Where the desktop keeps its own Alt+Tab (asked afresh each time: the window manager may
    // change while Vantlo runs).
    using DesktopTarget = std::function<DesktopKeyRelease::Target()>;

    // `browserAccess` tells the preferences how each browser's tabs can be reached.
    AppDelegate(std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors,
                DesktopTarget desktopTarget = {}, BrowserAccessModel::Reader browserAccess = {});
    ~AppDelegate() override;

    // The launch sequence (the test showing has its own, in TestPanelShowing).
    void applicationDidFinishLaunching();

    SwitcherPanelController& panelController() { return *panelController_; }
    bool isHotKeyRegistered() const { return hotKeyForward_ && hotKeyForward_->isRegistered(); }
    // Registers the activation hot key again unless it is held; whether it is held now.
    bool ensureHotKeyRegistered();
    // Shows the first-run guide, or brings the open one to the front (the stage then stays).
    void showGuide();
    std::weak_ptr<SwitcherPanelController> panelControllerHandle() const {
        return panelController_;
    }

  private:
    void warmCaches();
    void registerHotKeys();
    std::unique_ptr<GlobalHotKey> makeHotKey() const;
    bool isSessionTrusted();
    void observeNotifications();
    void observeWorkspace();
    void startBrowserWarmup();
    void refreshFrontmostBrowserTabs();

    std::shared_ptr<PanelPresenter> presenter_;
    std::shared_ptr<EventMonitors> monitors_;
    std::shared_ptr<SwitcherPanelController> panelController_;
    std::unique_ptr<StatusBarController> statusBar_;
    std::unique_ptr<GlobalHotKey> hotKeyForward_;
    DesktopTarget desktopTarget_;
    BrowserAccessModel::Reader browserAccess_;
    QPointer<OnboardingWindowController> onboardingController_;
    Subscription appActivationObserver_;
    Subscription activeWindowObserver_;
    Subscription appTerminationObserver_;
    Subscription hotkeyChangedObserver_;
    Subscription triggerObserver_;
    Subscription guideObserver_;
    Subscription guideStageObserver_;
    QTimer browserWarmupTimer_;
};

}  // namespace vantlo
