#pragma once
// The tray item: the drawn icon and its menu, rebuilt from scratch whenever the interface
// language changes. Entries whose windows this build does not have are left out rather than
// shown dead.

#include <QObject>
#include <memory>

#include "platform/NotificationCenter.h"

class QMenu;
class QSystemTrayIcon;

namespace vantlo {

class StatusBarController : public QObject {
  public:
    StatusBarController();
    ~StatusBarController() override;

    void rebuildMenu();
    // Whether the desktop offers a tray at all (some window managers have none).
    bool isVisible() const;

  private:
    void showSwitcher();
    void quit();

    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<QMenu> menu_;
    ObserverRegistration languageObserver_;
};

}  // namespace vantlo
