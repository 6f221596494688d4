#pragma once
// Which desktop the session runs, as far as freeing its own Alt+Tab is concerned: each of these
// keeps its window-switching key in its own settings, changed with its own tool.

#include <string>
#include <string_view>

namespace vantlo {

enum class DesktopKind { unknown, gnome, cinnamon, mate, xfce, kdePlasma, openbox };

namespace DesktopKinds {

// From XDG_CURRENT_DESKTOP (a colon-separated list, first match wins: "ubuntu:GNOME" is GNOME)
// and, when it names none of the desktops above, the window manager's own name ("Openbox").
DesktopKind detect(std::string_view xdgCurrentDesktop, std::string_view windowManagerName);
// The name users know the desktop by; for an unknown one the first entry of
// XDG_CURRENT_DESKTOP, else empty.
std::string displayName(DesktopKind kind, std::string_view xdgCurrentDesktop = {});
// "gnome", "openbox", … as remembered in the settings; `fromName` reads it back.
std::string name(DesktopKind kind);
DesktopKind fromName(std::string_view name);

}  // namespace DesktopKinds
}  // namespace vantlo
