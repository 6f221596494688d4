#pragma once
// The running program on the desktop: warms the caches, owns the switcher controller, the tray
// item and the activation hot key, follows application activations and terminations, and
// refreshes browser tabs every 18 seconds while a browser runs. Lives for the whole process.

#include <QObject>
#include <QTimer>
#include <memory>

#include "input/GlobalHotKey.h"
#include "platform/EventMonitors.h"
#include "platform/NotificationCenter.h"
#include "switcher/PanelPresenter.h"
#include "switcher/SwitcherPanelController.h"

namespace vantlo {

class StatusBarController;

class AppDelegate : public QObject {
  public:
    static constexpr int kBrowserWarmupSeconds = 18;

    AppDelegate(std::shared_ptr<PanelPresenter> presenter, std::shared_ptr<EventMonitors> monitors);
    ~AppDelegate() override;

    // The launch sequence (the test showing has its own, in TestPanelShowing).
    void applicationDidFinishLaunching();

    SwitcherPanelController& panelController() { return *panelController_; }
    bool isHotKeyRegistered() const { return hotKeyForward_ && hotKeyForward_->isRegistered(); }
    std::weak_ptr<SwitcherPanelController> panelControllerHandle() const {
        return panelController_;
    }

  private:
    void warmCaches();
    void registerHotKeys();
    void observeNotifications();
    void observeWorkspace();
    void startBrowserWarmup();
    void refreshFrontmostBrowserTabs();

    std::shared_ptr<PanelPresenter> presenter_;
    std::shared_ptr<EventMonitors> monitors_;
    std::shared_ptr<SwitcherPanelController> panelController_;
    std::unique_ptr<StatusBarController> statusBar_;
    std::unique_ptr<GlobalHotKey> hotKeyForward_;
    Subscription appActivationObserver_;
    Subscription activeWindowObserver_;
    Subscription appTerminationObserver_;
    Subscription hotkeyChangedObserver_;
    Subscription triggerObserver_;
    Subscription guideObserver_;
    QTimer browserWarmupTimer_;
};

}  // namespace vantlo
