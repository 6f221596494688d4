#pragma once
// The look of the preferences window: the fixed dark palette as Qt colours, its fonts, and one
// style sheet for the standard controls (buttons, pop-up menus, text fields) so they read as
// native dark controls on any desktop theme.

#include <QColor>
#include <QFont>
#include <QString>
#include <string>

#include "settings/PrefColors.h"

namespace vantlo::PrefStyle {

QColor color(const RgbaColor& color);
inline QColor window() {
    return color(PrefColors::window);
}
inline QColor sidebar() {
    return color(PrefColors::sidebar);
}
inline QColor card() {
    return color(PrefColors::card);
}
inline QColor cardBorder() {
    return color(PrefColors::cardBorder);
}
inline QColor primary() {
    return color(PrefColors::primary);
}
inline QColor secondary() {
    return color(PrefColors::secondary);
}
inline QColor tertiary() {
    return color(PrefColors::tertiary);
}
QColor accent();

// The interface font at `points` (points as the window's logical pixels) and weight.
QFont font(double points, QFont::Weight weight = QFont::Normal);
QFont monospaced(double points);

// Style sheet for the whole window.
QString styleSheet();
// "rgba(r, g, b, a)" for style sheets.
QString css(const QColor& color);

}  // namespace vantlo::PrefStyle

namespace vantlo {
// A program text as Qt text.
inline QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace vantlo
