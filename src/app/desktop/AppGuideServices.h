#pragma once
// The guide window's services on this desktop: the checks of the session (Wayland, an EWMH
// window manager, the activation hot key held by the delegate), the facts it explains itself
// with, the General preferences and freeing the desktop's own Alt+Tab.

#include "app/desktop/AppDelegate.h"
#include "ui/onboarding/GuideServices.h"

namespace vantlo {

GuideServices appGuideServices(AppDelegate& delegate, AppDelegate::DesktopTarget desktopTarget);

}  // namespace vantlo
