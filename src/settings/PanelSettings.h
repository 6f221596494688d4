#pragma once
// The user's panel preferences, each kept in the user defaults under its own key and read afresh
// on every access. A missing or malformed stored value reads as the default and stays stored
// until the next write. Every setter writes, then posts "Vantlo.panelSettingsChanged", even when
// the value did not change.

#include "settings/PanelDisplay.h"
#include "settings/PanelEdge.h"
#include "settings/PanelFontSize.h"
#include "settings/PanelWidth.h"

namespace vantlo {

class PanelSettings {
  public:
    static constexpr const char* edgeKey = "Vantlo.PanelEdge";
    static constexpr const char* widthKey = "Vantlo.PanelWidth";
    static constexpr const char* fontSizeKey = "Vantlo.PanelFontSize";
    static constexpr const char* displayKey = "Vantlo.PanelDisplay";
    static constexpr const char* showAppsWithoutWindowsKey = "Vantlo.ShowAppsWithoutWindows";
    static constexpr const char* preferBrowserTabsWhenFrontmostKey =
        "Vantlo.PreferBrowserTabsWhenFrontmost";
    static constexpr const char* changedNotification = "Vantlo.panelSettingsChanged";

    PanelSettings() = delete;

    // Exactly "left" is left; anything else is right.
    static PanelEdge edge();
    static void setEdge(PanelEdge edge);
    // One of the three raw values, else normal.
    static PanelWidth width();
    static void setWidth(PanelWidth width);
    static PanelFontSize fontSize();
    static void setFontSize(PanelFontSize size);
    // Exactly "main" is main; anything else is pointer.
    static PanelDisplay display();
    static void setDisplay(PanelDisplay display);

    // A stored boolean (or number 0 or 1), else true.
    static bool showAppsWithoutWindows();
    static void setShowAppsWithoutWindows(bool show);
    static bool preferBrowserTabsWhenFrontmost();
    static void setPreferBrowserTabsWhenFrontmost(bool prefer);
};

}  // namespace vantlo
