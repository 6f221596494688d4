#pragma once
// Turns Qt key events into the platform-neutral key events the panel's key handling works with:
// the physical key's virtual key code (from the X11 key code when there is one, so bindings follow
// key positions whatever the keyboard layout) and the modifier flags.

#include <QKeyEvent>
#include <optional>

#include "platform/PanelEvents.h"

namespace vantlo::QtKeyTranslation {

// The virtual key code of an X11 key code (evdev code + 8); nothing for keys without one.
std::optional<std::uint16_t> fromX11KeyCode(quint32 keyCode);
// The virtual key code of a Qt key, for events without a native key code.
std::optional<std::uint16_t> fromQtKey(int key);
std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers);
// The other way, for the four modifier keys: Qt's modifiers for a key event's flags.
Qt::KeyboardModifiers qtModifiers(std::uint64_t flags);

// Nothing for a key no binding can name (a lone modifier, for one).
std::optional<KeyEvent> translate(const QKeyEvent& event);

}  // namespace vantlo::QtKeyTranslation
