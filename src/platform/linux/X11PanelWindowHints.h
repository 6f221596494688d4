#pragma once
// Marks the switcher panel's native window for the X11 window manager before it is mapped: on
// every workspace (_NET_WM_DESKTOP 0xFFFFFFFF, sticky), kept out of the taskbar and pager, above
// other windows. Uses the X connection of the Qt application that owns the window.

#include <cstdint>

namespace vantlo::X11PanelWindowHints {

// `window` is the panel's X window id; it must not be mapped yet. Does nothing without an X11
// Qt application.
void markSwitcherPanel(std::uint32_t window);

}  // namespace vantlo::X11PanelWindowHints
