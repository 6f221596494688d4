#include "platform/linux/FreedesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace vantlo {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(std::shared_ptr<Log> log)
    : log_(std::move(log)) {}

void FreedesktopNotifications::listenToService() {
    if (listening_)
        return;
    auto bus = QDBusConnection::sessionBus();
    listening_ = bus.isConnected();
    bus.connect(kService, kPath, kInterface, "ActionInvoked", this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, "NotificationClosed", this,
                SLOT(notificationClosed(uint, uint)));
}

void FreedesktopNotifications::show(const DesktopNotice& notice, ActionHandler onAction) {
    listenToService();
    QStringList actions;
    for (const auto& action : notice.actions)
        actions << text(action.key) << text(action.label);
    auto message = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    message << QString("Vantlo") << uint(0) << QString("com.local.vantlo") << text(notice.title)
            << text(notice.body) << actions << QVariantMap() << int(-1);
    // A service that does not answer at all is given up after a few seconds.
    auto pending = QDBusConnection::sessionBus().asyncCall(message, 5000);
    auto* watcher = new QDBusPendingCallWatcher(pending, this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [this, watcher, title = notice.title, onAction = std::move(onAction)] {
                         QDBusPendingReply<uint> reply = *watcher;
                         watcher->deleteLater();
                         if (reply.isError()) {
                             if (log_)
                                 log_->write("[Vantlo] No notification service answered (" +
                                             reply.error().message().toStdString() +
                                             "); not shown: " + title);
                             return;
                         }
                         if (onAction)
                             handlers_[reply.value()] = onAction;
                     });
}

void FreedesktopNotifications::actionInvoked(uint id, const QString& key) {
    auto found = handlers_.find(id);
    if (found == handlers_.end())
        return;
    auto handler = std::move(found->second);
    handlers_.erase(found);
    handler(key.toStdString());
}

void FreedesktopNotifications::notificationClosed(uint id, uint) {
    handlers_.erase(id);
}

}  // namespace vantlo
