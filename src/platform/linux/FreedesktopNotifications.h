#pragma once
// Desktop notifications through the freedesktop notification service
// (org.freedesktop.Notifications on the session bus), which every common desktop and
// stand-alone daemons like dunst provide. Calls are asynchronous: the main thread never waits for
// the bus. The service's ActionInvoked signal brings the user's choice back.

#include <QObject>
#include <map>
#include <memory>

#include "platform/DesktopNotifications.h"
#include "platform/Log.h"

namespace vantlo {

class FreedesktopNotifications : public QObject, public DesktopNotifications {
    Q_OBJECT

  public:
    explicit FreedesktopNotifications(std::shared_ptr<Log> log);

    void show(const DesktopNotice& notice, ActionHandler onAction) override;

  private Q_SLOTS:
    void actionInvoked(uint id, const QString& key);
    void notificationClosed(uint id, uint reason);

  private:
    void listenToService();

    std::shared_ptr<Log> log_;
    bool listening_ = false;
    std::map<uint, ActionHandler> handlers_;
};

}  // namespace vantlo
