#include "app/desktop/StatusBarController.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>

#include "app/desktop/VantloMenuBarIcon.h"
#include "platform/Platform.h"
#include "settings/Localization.h"

namespace vantlo {

StatusBarController::StatusBarController() : statusItem_(std::make_unique<QSystemTrayIcon>()) {
    statusItem_->setIcon(VantloMenuBarIcon::make());
    statusItem_->setToolTip("Vantlo");
    rebuildMenu();
    statusItem_->show();
    auto& center = *platform().notifications;
    languageObserver_ = ObserverRegistration(
        center, center.addObserver(
                    "Vantlo.languageChanged", [this](const Notification&) { rebuildMenu(); },
                    NotificationCenter::Delivery::mainQueue));
}

StatusBarController::~StatusBarController() = default;

void StatusBarController::rebuildMenu() {
    auto menu = std::make_unique<QMenu>();
    QObject::connect(menu->addAction(QString::fromStdString(localized("Show Vantlo"))),
                     &QAction::triggered, this, [this] { showSwitcher(); });
    menu->addSeparator();
    auto* quitAction = menu->addAction(QString::fromStdString(localized("Quit Vantlo")));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quitAction, &QAction::triggered, this, [this] { quit(); });
    statusItem_->setContextMenu(menu.get());
    menu_ = std::move(menu);
}

bool StatusBarController::isVisible() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusBarController::showSwitcher() {
    platform().notifications->post("Vantlo.triggerForward");
}

void StatusBarController::quit() {
    QApplication::quit();
}

}  // namespace vantlo
