#pragma once
// The tray item: the drawn icon and its menu ("Show Vantlo", "Show Guide…", "Preferences…",
// "Feedback…", "Quit Vantlo"), rebuilt from scratch whenever the interface language changes. It
// owns the preferences window while one is open and opens it for the menu and for `vantlo
// preferences`
// ("Vantlo.openPreferences", whose object names the pane). Entries whose windows this build does
// not have are left out rather than shown dead; there is no update entry, since packages update
// through the package manager.

#include <QObject>
#include <QPointer>
#include <memory>

#include "platform/NotificationCenter.h"
#include "preferences/BrowserAccessModel.h"
#include "preferences/PreferencesPane.h"

class QMenu;
class QSystemTrayIcon;

namespace vantlo {

class PreferencesWindowController;

class StatusBarController : public QObject {
  public:
    static constexpr const char* kOpenPreferencesNotification = "Vantlo.openPreferences";

    explicit StatusBarController(BrowserAccessModel::Reader browserAccess = {});
    ~StatusBarController() override;

    void rebuildMenu();
    // Whether the desktop offers a tray at all (some window managers have none).
    bool isVisible() const;
    // Opens the window on `pane`, or brings the open one forward and switches it there.
    void openPreferences(PreferencesPane pane);

  private:
    void showSwitcher();
    void quit();

    std::unique_ptr<QSystemTrayIcon> statusItem_;
    std::unique_ptr<QMenu> menu_;
    QPointer<PreferencesWindowController> prefs_;
    Subscription languageObserver_;
    Subscription openPreferencesObserver_;
    BrowserAccessModel::Reader browserAccess_;
};

}  // namespace vantlo
