#pragma once
// What every panel window of this program needs before the first one is shown: its footing with
// the window manager, and an icon theme with application icons when the session names none.

namespace vantlo {

enum class PanelWindowKind {
    // The summoned panel. The program holds keyboard and pointer while it shows, so the window
    // bypasses the window manager and is on screen the moment it is mapped, with no manager
    // round trip between the hot key and the panel.
    grabbed,
    // The test showing takes the keyboard focus like any window: the manager keeps it above, on
    // every workspace and out of the taskbar and pager, from the window states it is given.
    managed,
};

void preparePanelWindows(PanelWindowKind kind);

}  // namespace vantlo
