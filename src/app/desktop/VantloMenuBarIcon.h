#pragma once
// The tray icon: a swoosh with three speed lines, drawn as vector strokes in the colour of the
// panel's text so it reads on light and dark panels alike.

#include <QColor>
#include <QIcon>

namespace vantlo {

namespace VantloMenuBarIcon {
// The icon drawn in `color`, at the usual tray sizes.
QIcon make(const QColor& color);
// The icon in the desktop's current text colour.
QIcon make();
}  // namespace VantloMenuBarIcon

}  // namespace vantlo
