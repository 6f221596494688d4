#include "app/desktop/VantloMenuBarIcon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace vantlo {
namespace {

// The drawing is defined on a 22 x 18 canvas with its origin at the bottom left.
constexpr double kWidth = 22.0;
constexpr double kHeight = 18.0;

QPointF canvasPoint(double x, double y) {
    return {x, kHeight - y};
}

QPixmap render(const QColor& color, int pixelHeight) {
    double scale = pixelHeight / kHeight;
    QPixmap pixmap(qRound(kWidth * scale), pixelHeight);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);

    QPainterPath swoosh(canvasPoint(2.6, 13.2));
    swoosh.lineTo(canvasPoint(7.7, 13.2));
    swoosh.cubicTo(canvasPoint(9.6, 13.2), canvasPoint(11.7, 5.0), canvasPoint(15.5, 5.0));
    swoosh.lineTo(canvasPoint(19.2, 5.0));
    painter.setPen(QPen(color, 2.1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(swoosh);

    painter.setPen(QPen(color, 1.3, Qt::SolidLine, Qt::RoundCap));
    for (auto [x, y] : {std::pair{14.2, 7.7}, {12.8, 10.3}, {11.4, 12.9}}) {
        painter.drawLine(canvasPoint(x, y), canvasPoint(19.2, y));
    }
    return pixmap;
}

}  // namespace

namespace VantloMenuBarIcon {

QIcon make(const QColor& color) {
    QIcon icon;
    for (int height : {16, 18, 22, 24, 32, 36, 48, 64})
        icon.addPixmap(render(color, height));
    return icon;
}

QIcon make() {
    return make(QGuiApplication::palette().color(QPalette::WindowText));
}

}  // namespace VantloMenuBarIcon
}  // namespace vantlo
