#include "ui/preferences/ToggleSwitch.h"

#include <QPainter>

#include "ui/preferences/PrefStyle.h"

namespace vantlo {

ToggleSwitch::ToggleSwitch(bool on, QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setChecked(on);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void ToggleSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QRectF track = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 1));
    painter.setBrush(isChecked() ? PrefStyle::accent() : QColor(255, 255, 255, 40));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double knob = track.height() - 4;
    double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, isEnabled() ? 240 : 120));
    painter.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
    if (hasFocus()) {
        painter.setPen(QPen(PrefStyle::accent().lighter(140), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    }
}

}  // namespace vantlo
