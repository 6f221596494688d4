#include "ui/preferences/PrefStyle.h"

#include <QFontDatabase>

namespace vantlo::PrefStyle {

QColor color(const RgbaColor& c) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue), static_cast<float>(c.alpha));
}

QColor accent() {
    return QColor::fromRgbF(0.24f, 0.52f, 0.98f);
}

QFont font(double points, QFont::Weight weight) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    // Sizes are in logical pixels so the layout is the same whatever the desktop's DPI setting.
    f.setPixelSize(static_cast<int>(points + 0.5));
    f.setWeight(weight);
    return f;
}

QFont monospaced(double points) {
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPixelSize(static_cast<int>(points + 0.5));
    return f;
}

QString css(const QColor& c) {
    return QString("rgba(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(QString::number(c.alphaF(), 'f', 2));
}

QString styleSheet() {
    return QString(R"(
QWidget { color: %1; }
QPushButton {
    background: rgba(255, 255, 255, 0.12); border: 1px solid rgba(255, 255, 255, 0.16);
    border-radius: 5px; padding: 3px 10px; min-height: 18px; font-size: 13px;
}
QPushButton:hover { background: rgba(255, 255, 255, 0.18); }
QPushButton:pressed { background: rgba(255, 255, 255, 0.26); }
QPushButton:disabled { color: %2; background: rgba(255, 255, 255, 0.05); }
QPushButton[small="true"] { font-size: 11px; padding: 2px 8px; min-height: 14px; }
QPushButton[plain="true"] { background: transparent; border: none; padding: 0px; }
QComboBox {
    background: rgba(255, 255, 255, 0.12); border: 1px solid rgba(255, 255, 255, 0.16);
    border-radius: 5px; padding: 3px 8px; font-size: 13px; min-height: 18px;
}
QComboBox QAbstractItemView {
    background: rgb(40, 43, 50); color: %1; selection-background-color: %3;
    border: 1px solid rgba(255, 255, 255, 0.16);
}
QLineEdit {
    background: rgba(0, 0, 0, 0.25); border: 1px solid rgba(255, 255, 255, 0.18);
    border-radius: 5px; padding: 3px 6px; font-size: 13px; selection-background-color: %3;
}
QLineEdit:focus { border: 1px solid %3; }
QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; border: none; }
QScrollBar:vertical { background: transparent; width: 8px; margin: 2px; }
QScrollBar::handle:vertical { background: rgba(255, 255, 255, 0.22); border-radius: 3px; min-height: 24px; }
QScrollBar::add-line, QScrollBar::sub-line { height: 0px; }
QListWidget { background: rgb(32, 35, 42); border: 1px solid rgba(255, 255, 255, 0.12); border-radius: 6px; }
QListWidget::item { padding: 4px; }
QListWidget::item:selected { background: %3; }
)")
        .arg(css(primary()), css(tertiary()), css(accent()));
}

}  // namespace vantlo::PrefStyle
