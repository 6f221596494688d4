#pragma once
// Colours and fonts of the switcher panel. Sizes are logical pixels, the unit the layout uses;
// fonts are converted to points for the screen's logical DPI.

#include <QColor>
#include <QFont>

namespace vantlo::SwitcherStyle {

QFont font(double pixelSize, QFont::Weight weight);

QColor white(double opacity);
QColor rgb(double red, double green, double blue, double opacity = 1.0);

// The accent colour of controls (hovered badge, lit key caps, "Next").
QColor accent(double opacity = 1.0);
// The "Enter to search" pill.
QColor pill();
// The search row background: white at 16 % brightness.
QColor searchRow();
QColor highlightLeading();
QColor highlightTrailing();
QColor highlightShadow();
QColor rail(double opacity);
QColor activeTabDot();
QColor closeHovered();

}  // namespace vantlo::SwitcherStyle
