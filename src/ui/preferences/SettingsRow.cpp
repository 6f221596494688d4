#include "ui/preferences/SettingsRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/preferences/PrefStyle.h"

namespace vantlo {

SettingsRow::SettingsRow(const QString& title, const QString& detail, QWidget* parent)
    : QWidget(parent) {
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(0, 8, 0, 8);
    row_->setSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* titleLabel = new QLabel(title);
    titleLabel->setFont(PrefStyle::font(13, QFont::Medium));
    texts->addWidget(titleLabel);
    detail_ = new QLabel(detail);
    detail_->setFont(PrefStyle::font(11));
    detail_->setWordWrap(true);
    detail_->setStyleSheet("color: " + PrefStyle::css(PrefStyle::secondary()));
    detail_->setVisible(!detail.isEmpty());
    texts->addWidget(detail_);
    row_->addLayout(texts, 1);
    row_->addSpacing(20);
    controls_ = new QHBoxLayout;
    controls_->setSpacing(6);
    row_->addLayout(controls_);
}

void SettingsRow::addControl(QWidget* control) {
    controls_->addWidget(control, 0, Qt::AlignVCenter);
}

}  // namespace vantlo
