#include "ui/switcher/SwitcherStyle.h"

#include <QGuiApplication>
#include <QScreen>

namespace vantlo::SwitcherStyle {

QFont font(double pixelSize, QFont::Weight weight) {
    QFont result = QGuiApplication::font();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    result.setPointSizeF(pixelSize * 72.0 / (dpi > 0 ? dpi : 96.0));
    result.setWeight(weight);
    return result;
}

QColor white(double opacity) {
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(opacity));
}

QColor rgb(double red, double green, double blue, double opacity) {
    return QColor::fromRgbF(static_cast<float>(red), static_cast<float>(green),
                            static_cast<float>(blue), static_cast<float>(opacity));
}

QColor accent(double opacity) {
    return rgb(0.26, 0.52, 1.0, opacity);
}
QColor pill() {
    return rgb(0.3, 0.45, 0.9);
}
QColor searchRow() {
    return rgb(0.16, 0.16, 0.16);
}
QColor highlightLeading() {
    return rgb(0.22, 0.90, 0.92, 0.46);
}
QColor highlightTrailing() {
    return rgb(0.35, 0.34, 0.95, 0.34);
}
QColor highlightShadow() {
    return rgb(0.11, 0.80, 0.95, 0.22);
}
QColor rail(double opacity) {
    return rgb(0.25, 0.95, 1.0, opacity);
}
QColor activeTabDot() {
    return rgb(0.2, 0.84, 0.36);
}
QColor closeHovered() {
    return rgb(1.0, 0.23, 0.19, 0.95);
}

}  // namespace vantlo::SwitcherStyle
