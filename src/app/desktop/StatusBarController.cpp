#include "app/desktop/StatusBarController.h"

#include <QApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <cstdlib>
#include <string_view>

#include "app/FeedbackSupport.h"
#include "app/desktop/VantloMenuBarIcon.h"
#include "onboarding/DesktopKeyRelease.h"
#include "platform/Platform.h"
#include "settings/Localization.h"
#include "ui/preferences/PreferencesWindowController.h"

namespace vantlo {
namespace {

QString text(const std::string& localizedText) {
    return QString::fromStdString(localizedText);
}

PreferencesServices preferencesServices(BrowserAccessModel::Reader browserAccess) {
    PreferencesServices services;
    services.browserAccess = std::move(browserAccess);
    services.diagnosticsText = FeedbackSupport::diagnosticsText;
    services.issuesURL = FeedbackSupport::issuesURL;
    const char* session = std::getenv("XDG_SESSION_TYPE");
    services.waylandSession = session != nullptr && std::string_view(session) == "wayland";
    services.freedDesktopName = [] { return DesktopKeyRelease::freedDesktopName(); };
    services.giveBackDesktopKey = [](PreferencesServices::GiveBackDone done) {
        DesktopKeyRelease::giveBack([done](const DesktopKeyRelease::Outcome& outcome) {
            if (done)
                done(outcome.ok, outcome.message);
        });
    };
    return services;
}

void log(const std::string& line) {
    if (platform().log)
        platform().log->write(line);
}

}  // namespace

StatusBarController::StatusBarController(BrowserAccessModel::Reader browserAccess)
    : statusItem_(std::make_unique<QSystemTrayIcon>()), browserAccess_(std::move(browserAccess)) {
    statusItem_->setIcon(VantloMenuBarIcon::make());
    statusItem_->setToolTip("Vantlo");
    rebuildMenu();
    statusItem_->show();
    if (!isVisible()) {
        log("[Vantlo] The system tray is unavailable on this desktop; open the preferences with "
            "`vantlo preferences`");
    }
    auto& center = *platform().notifications;
    languageObserver_ = center.addObserver(
        Localization::languageChangedNotification,
        [this](const Notification&) {
            rebuildMenu();
            if (prefs_)
                prefs_->setWindowTitle(text(localized("Vantlo Preferences")));
        },
        NotificationCenter::Delivery::mainQueue);
    openPreferencesObserver_ = center.addObserver(
        kOpenPreferencesNotification,
        [this](const Notification& n) {
            auto* name = std::any_cast<std::string>(&n.object);
            auto pane = name ? PreferencesPanes::fromRawValue(*name) : std::nullopt;
            openPreferences(pane.value_or(PreferencesPane::general));
        },
        NotificationCenter::Delivery::mainQueue);
}

StatusBarController::~StatusBarController() {
    delete prefs_.data();
}

void StatusBarController::rebuildMenu() {
    auto menu = std::make_unique<QMenu>();
    QObject::connect(menu->addAction(text(localized("Show Vantlo"))), &QAction::triggered, this,
                     [this] { showSwitcher(); });
    QObject::connect(menu->addAction(text(localized("Show Guide…"))), &QAction::triggered, this,
                     [] { platform().notifications->post("Vantlo.showGuide"); });
    menu->addSeparator();
    auto* preferences = menu->addAction(text(localized("Preferences…")));
    preferences->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    QObject::connect(preferences, &QAction::triggered, this,
                     [this] { openPreferences(PreferencesPane::general); });
    QObject::connect(menu->addAction(text(localized("Feedback…"))), &QAction::triggered, this,
                     [this] { openPreferences(PreferencesPane::feedback); });
    menu->addSeparator();
    auto* quitAction = menu->addAction(text(localized("Quit Vantlo")));
    quitAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(quitAction, &QAction::triggered, this, [this] { quit(); });
    statusItem_->setContextMenu(menu.get());
    menu_ = std::move(menu);
}

bool StatusBarController::isVisible() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void StatusBarController::openPreferences(PreferencesPane pane) {
    if (!prefs_) {
        prefs_ = new PreferencesWindowController(pane, preferencesServices(browserAccess_), [this] {
            // Forgotten once closed; the next opening builds a fresh window.
            if (prefs_)
                prefs_->deleteLater();
        });
    }
    prefs_->present();
    platform().notifications->post(PreferencesWindowController::kOpenPaneNotification, pane);
}

void StatusBarController::showSwitcher() {
    platform().notifications->post("Vantlo.triggerForward");
}

void StatusBarController::quit() {
    QApplication::quit();
}

}  // namespace vantlo
