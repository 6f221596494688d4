#pragma once
// The guide window's services on this desktop: the checks of the session (Wayland, an EWMH
// window manager, the activation hot key held by the delegate), the facts it explains itself
// with, the General preferences and freeing the desktop's own Alt+Tab.

#include <memory>

#include "app/desktop/AppDelegate.h"
#include "ui/onboarding/GuideServices.h"

namespace vantlo {

class XcbConnection;

// The desktop from XDG_CURRENT_DESKTOP and the window manager's name, with Openbox's own
// configuration file (its _OB_CONFIG_FILE root property), read again at every call.
AppDelegate::DesktopTarget desktopTargetOf(std::shared_ptr<XcbConnection> connection);

GuideServices appGuideServices(AppDelegate& delegate, AppDelegate::DesktopTarget desktopTarget);

}  // namespace vantlo
