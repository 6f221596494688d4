#include "ui/preferences/SettingsSection.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

#include "ui/preferences/PrefStyle.h"

namespace vantlo {
namespace {

class Card : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        // Half a pixel in, so the one-pixel border lands on whole device pixels.
        QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(PrefStyle::cardBorder(), 1));
        painter.setBrush(PrefStyle::card());
        painter.drawRoundedRect(box, 8, 8);
    }
};

}  // namespace

SettingsSection::SettingsSection(const QString& title, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    auto* heading = new QLabel(title);
    heading->setFont(PrefStyle::font(13, QFont::DemiBold));
    layout->addWidget(heading);
    auto* card = new Card;
    card_ = new QVBoxLayout(card);
    card_->setContentsMargins(14, 8, 14, 8);
    card_->setSpacing(0);
    layout->addWidget(card);
}

void SettingsSection::add(QWidget* row) {
    card_->addWidget(row);
}

void SettingsSection::addLayout(QLayout* layout) {
    card_->addLayout(layout);
}

}  // namespace vantlo
