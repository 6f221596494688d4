#include "ui/preferences/PreferencesWindowController.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QScreen>

#include "platform/Platform.h"
#include "settings/Localization.h"
#include "ui/preferences/AppearancePane.h"
#include "ui/preferences/ExceptionsPane.h"
#include "ui/preferences/FeedbackPane.h"
#include "ui/preferences/GeneralPane.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/PreferencesSidebar.h"
#include "ui/preferences/ShortcutsPane.h"

namespace vantlo {

PreferencesWindowController::PreferencesWindowController(PreferencesPane initialPane,
                                                         PreferencesServices services,
                                                         std::function<void()> onClose)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      services_(std::move(services)),
      onClose_(std::move(onClose)),
      selection_(initialPane) {
    setFixedSize(kWidth, kHeight);
    setWindowTitle(qt(localized("Vantlo Preferences")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, PrefStyle::window());
    palette.setColor(QPalette::WindowText, PrefStyle::primary());
    palette.setColor(QPalette::Base, QColor(32, 35, 42));
    palette.setColor(QPalette::Text, PrefStyle::primary());
    palette.setColor(QPalette::Button, QColor(52, 56, 64));
    palette.setColor(QPalette::ButtonText, PrefStyle::primary());
    palette.setColor(QPalette::Highlight, PrefStyle::accent());
    palette.setColor(QPalette::PlaceholderText, PrefStyle::tertiary());
    setPalette(palette);
    setAutoFillBackground(true);
    setStyleSheet(PrefStyle::styleSheet());

    layout_ = new QHBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    sidebar_ = new PreferencesSidebar([this](PreferencesPane pane) { select(pane); });
    sidebar_->setSelection(selection_);
    layout_->addWidget(sidebar_);
    auto* divider = new QFrame;
    divider->setFixedWidth(1);
    divider->setStyleSheet("background: rgba(255, 255, 255, 0.10)");
    layout_->addWidget(divider);
    detail_ = makePane(selection_);
    layout_->addWidget(detail_, 1);

    auto& center = *platform().notifications;
    paneObserver_ = center.addObserver(
        kOpenPaneNotification,
        [this](const Notification& n) {
            if (auto* pane = std::any_cast<PreferencesPane>(&n.object))
                select(*pane);
        },
        NotificationCenter::Delivery::mainQueue);
    languageObserver_ = center.addObserver(
        Localization::languageChangedNotification, [this](const Notification&) { retranslate(); },
        NotificationCenter::Delivery::mainQueue);
}

PreferencesWindowController::~PreferencesWindowController() = default;

QWidget* PreferencesWindowController::makePane(PreferencesPane pane) {
    switch (pane) {
        case PreferencesPane::general:
            return new GeneralPane({services_.waylandSession}, services_);
        case PreferencesPane::shortcuts:
            return new ShortcutsPane;
        case PreferencesPane::appearance:
            return new AppearancePane;
        case PreferencesPane::exceptions:
            return new ExceptionsPane;
        case PreferencesPane::feedback:
            return new FeedbackPane(services_);
    }
    return new GeneralPane({services_.waylandSession}, services_);
}

void PreferencesWindowController::select(PreferencesPane pane) {
    selection_ = pane;
    sidebar_->setSelection(pane);
    QWidget* fresh = makePane(pane);
    layout_->replaceWidget(detail_, fresh);
    detail_->deleteLater();
    detail_ = fresh;
}

void PreferencesWindowController::retranslate() {
    setWindowTitle(qt(localized("Vantlo Preferences")));
    sidebar_->retranslate();
    select(selection_);
}

void PreferencesWindowController::present() {
    if (!placed_) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect area = screen->availableGeometry();
            move(area.center() - QPoint(kWidth / 2, kHeight / 2));
        }
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void PreferencesWindowController::closeEvent(QCloseEvent* event) {
    event->accept();
    if (onClose_)
        onClose_();
}

}  // namespace vantlo
