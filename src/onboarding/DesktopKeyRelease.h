#pragma once
// Frees Alt+Tab for Vantlo by changing the desktop's own binding with the desktop's own tool
// (gsettings for GNOME, Cinnamon and MATE, xfconf-query for Xfce, kwriteconfig and a KWin
// reconfigure for KDE Plasma, rc.xml and `openbox --reconfigure` for Openbox), only when the
// user asks. What it changed is remembered in the settings, so the General pane can give
// Alt+Tab back to the desktop exactly as it was.
//
// The tools run on a background queue (each bounded by a timeout); outcomes and the remembered
// record are handed over on the main queue.

#include <functional>
#include <optional>
#include <string>

#include "onboarding/DesktopKind.h"
#include "platform/HotkeyConfig.h"
#include "platform/PropertyValue.h"

namespace vantlo {

class DesktopKeyRelease {
  public:
    static constexpr const char* kRecordKey = "Vantlo.FreedDesktopShortcut";
    static constexpr double kToolTimeoutSeconds = 5.0;

    struct Target {
        DesktopKind desktop = DesktopKind::unknown;
        // Openbox: the file it reads (its _OB_CONFIG_FILE); empty: the user's
        // $XDG_CONFIG_HOME/openbox/rc.xml, started from the system one when missing.
        std::string openboxConfigFile;
    };
    struct Outcome {
        bool ok = false;
        // Why it failed, localized; empty on success.
        std::string message;
    };
    using Done = std::function<void(const Outcome&)>;

    DesktopKeyRelease() = delete;

    // Whether "Free Alt+Tab" can be offered: the desktop is one of the above and the activation
    // hot key is Alt+Tab.
    static bool canFree(DesktopKind desktop, const HotkeyConfig& hotkey);
    // Changes the desktop's binding in the background and remembers the old value; `done` runs
    // on the main queue.
    static void freeAltTab(Target target, Done done);
    // Whether a freed binding is remembered, and the desktop's name for it.
    static bool hasFreed();
    static std::string freedDesktopName();
    // Puts the remembered binding back in the background and forgets it; `done` on the main
    // queue. Without a record it succeeds at once.
    static void giveBack(Done done);

    // The blocking steps, run on a background queue. `record` receives what to restore.
    static Outcome freeNow(const Target& target, PropertyDictionary& record);
    static Outcome giveBackNow(const PropertyDictionary& record);
};

}  // namespace vantlo
