#include "ui/preferences/FeedbackPane.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "settings/Localization.h"
#include "ui/common/Symbols.h"
#include "ui/preferences/PrefStyle.h"
#include "ui/preferences/SettingsSection.h"

namespace vantlo {
namespace {

QIcon symbolIcon(std::string_view name, const QColor& color, qreal devicePixelRatio) {
    const int side = 14;
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    Symbols::draw(painter, name, QRectF(0, 0, side, side), color);
    return QIcon(pixmap);
}

class TipSymbol : public QWidget {
  public:
    TipSymbol() { setFixedSize(14, 14); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor accent = PrefStyle::accent();
        accent.setAlphaF(0.82f);
        Symbols::draw(painter, "checkmark.circle.fill", QRectF(1, 1, 12, 12), accent);
    }
};

QWidget* feedbackTip(const QString& text) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 4, 0, 4);
    layout->setSpacing(8);
    layout->addWidget(new TipSymbol, 0, Qt::AlignVCenter);
    auto* label = new QLabel(text);
    label->setFont(PrefStyle::font(11.5));
    label->setWordWrap(true);
    layout->addWidget(label, 1);
    return row;
}

}  // namespace

FeedbackPane::FeedbackPane(const PreferencesServices& services, QWidget* parent)
    : SettingsDetail(parent), services_(services) {
    model_ =
        std::make_unique<FeedbackPaneModel>(services_.diagnosticsText, [this] { showCopyState(); });
    setTitle(qt(localized("Feedback")));
    add(sendSection());
    add(tipsSection());
}

QWidget* FeedbackPane::sendSection() {
    auto* section = new SettingsSection(qt(localized("Send Feedback")));
    // clang-format off
    auto* intro = new QLabel(qt(localized("Bug reports are most useful with the copied diagnostics attached. They do not include window titles, tab URLs, or personal content.")));
    // clang-format on
    intro->setWordWrap(true);
    intro->setFont(PrefStyle::font(11));
    intro->setStyleSheet("color: " + PrefStyle::css(PrefStyle::secondary()));
    section->add(intro);

    copyButton_ = new QPushButton;
    QObject::connect(copyButton_, &QPushButton::clicked, this,
                     [this] { model_->copyDiagnostics(); });
    showCopyState();
    auto* open = new QPushButton(qt(localized("Open GitHub Issue")));
    open->setIcon(symbolIcon("arrow.up.right.square", PrefStyle::primary(), devicePixelRatioF()));
    QObject::connect(open, &QPushButton::clicked, this,
                     [this] { QDesktopServices::openUrl(QUrl(qt(services_.issuesURL))); });
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 8, 0, 4);
    buttons->setSpacing(8);
    buttons->addWidget(copyButton_);
    buttons->addWidget(open);
    buttons->addStretch(1);
    section->addLayout(buttons);
    return section;
}

QWidget* FeedbackPane::tipsSection() {
    auto* section = new SettingsSection(qt(localized("What to include")));
    section->add(feedbackTip(qt(localized("What you expected to happen."))));
    section->add(feedbackTip(qt(localized("What actually happened."))));
    section->add(feedbackTip(qt(localized("The app/window/tab you were switching, if relevant."))));
    section->add(feedbackTip(qt(localized("Whether it happens every time or only sometimes."))));
    return section;
}

void FeedbackPane::showCopyState() {
    copyButton_->setText(qt(model_->copyTitle()));
    copyButton_->setIcon(
        symbolIcon(model_->copySymbol(), PrefStyle::primary(), devicePixelRatioF()));
}

}  // namespace vantlo
