#include "ui/preferences/SettingsDetail.h"

#include <QLabel>
#include <QVBoxLayout>

#include "ui/preferences/PrefStyle.h"

namespace vantlo {

SettingsDetail::SettingsDetail(QWidget* parent) : QScrollArea(parent) {
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, PrefStyle::window());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* page = new QWidget;
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(24, 24, 24, 24);
    outer->setSpacing(16);
    title_ = new QLabel;
    title_->setFont(PrefStyle::font(24, QFont::DemiBold));
    title_->setContentsMargins(0, 0, 0, 2);
    outer->addWidget(title_);
    stack_ = new QVBoxLayout;
    stack_->setSpacing(16);
    stack_->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(stack_);
    outer->addStretch(1);
    setWidget(page);
}

void SettingsDetail::setTitle(const QString& title) {
    title_->setText(title);
}

void SettingsDetail::clear() {
    while (QLayoutItem* item = stack_->takeAt(0)) {
        if (QWidget* widget = item->widget())
            widget->deleteLater();
        if (QLayout* layout = item->layout()) {
            while (QLayoutItem* inner = layout->takeAt(0)) {
                if (inner->widget())
                    inner->widget()->deleteLater();
                delete inner;
            }
        }
        delete item;
    }
}

void SettingsDetail::add(QWidget* section) {
    stack_->addWidget(section);
}

void SettingsDetail::addLayout(QLayout* layout) {
    stack_->addLayout(layout);
}

}  // namespace vantlo
