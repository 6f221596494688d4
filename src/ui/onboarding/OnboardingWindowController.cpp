#include "ui/onboarding/OnboardingWindowController.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>

#include "platform/Platform.h"
#include "settings/Localization.h"
#include "ui/onboarding/OnboardingSummonView.h"
#include "ui/preferences/PrefStyle.h"

namespace vantlo {

OnboardingWindowController::OnboardingWindowController(GuideServices services,
                                                       std::function<void()> onDismiss)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      onDismiss_(std::move(onDismiss)) {
    setFixedSize(kWidth, kHeight);
    setWindowTitle(qt(localized("Vantlo Guide")));
    setStyleSheet(PrefStyle::styleSheet());
    QPointer<OnboardingWindowController> self(this);
    // The view closes the window; once the window is gone that does nothing.
    view_ = new OnboardingSummonView(std::move(services), [self] {
        if (self)
            self->close();
    });
    view_->setParent(this);
    view_->setGeometry(0, 0, kWidth, kHeight);
    view_->start();
    languageObserver_ = platform().notifications->addObserver(
        Localization::languageChangedNotification,
        [self](const Notification&) {
            if (!self)
                return;
            self->setWindowTitle(qt(localized("Vantlo Guide")));
            self->view_->retranslate();
        },
        NotificationCenter::Delivery::mainQueue);
}

OnboardingWindowController::~OnboardingWindowController() = default;

void OnboardingWindowController::present() {
    if (!placed_) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - QPoint(kWidth / 2, kHeight / 2));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
}

void OnboardingWindowController::closeEvent(QCloseEvent* event) {
    event->accept();
    view_->stop();
    if (auto dismiss = std::exchange(onDismiss_, nullptr))
        dismiss();
}

}  // namespace vantlo
