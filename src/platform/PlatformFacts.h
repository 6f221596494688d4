#pragma once
// Facts of one desktop platform that the logic relies on but that are not rules of its own: how
// the file manager, shell components, media players and browsers are identified, where
// applications are installed, which applications are hidden by default and how keys are written
// for the user. The logic reads them from here and never from literals of its own.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/KeyLabelStyle.h"

namespace vantlo {

enum class BrowserFamily { chromium = 0, safari = 1 };

// How the user lets Vantlo read a browser's tabs: by granting script access when the system
// prompts for it (the Mac's Automation permission), or by adding Vantlo's browser extension.
enum class BrowserTabAccess { automationPermission, browserExtension };

// What lets Vantlo see and switch windows: the Mac's Accessibility permission, or an X11 window
// manager that publishes its windows (there is nothing to grant on Linux, but one must run).
enum class WindowAccess { accessibilityPermission, windowManager };

// How one supported browser is recognised among the running applications and window owners.
struct BrowserIdentity {
    std::string bundleID;
    std::string name;
    // The name scripts address it by: tell application "<applicationName>".
    std::string applicationName;
    BrowserFamily family = BrowserFamily::chromium;
    std::set<std::string> bundleNames;      // last path component of the bundle location
    std::set<std::string> executableNames;  // last path component of the executable
    std::set<std::string> localizedNames;   // the running application's display name
    std::set<std::string> ownerNames;       // window owner names in the window server's list
    std::string iconPath;                   // bundle whose icon stands in when the process has none
};

struct PlatformFacts {
    // This program's own identifier, the same on every platform.
    std::string selfBundleID = "com.local.vantlo";

    // The file manager the switcher folds into one window group and opens on the home folder.
    std::string fileManagerBundleID;
    std::string fileManagerAppPath;
    // Every identifier that is treated as the file manager (Linux has several).
    std::set<std::string> fileManagerBundleIDs;

    // Applications the switcher never quits.
    std::vector<std::string> protectedBundleIDs;
    // Applications a forced quit is known not to work on.
    std::vector<std::string> forceQuitIneffectiveBundleIDs;
    // Applications left alone by the show-desktop action.
    std::vector<std::string> desktopProtectedBundleIDs;
    // Media players paused before a forced quit: bundle identifier -> scripting name.
    std::map<std::string, std::string> mediaAppNames;

    // Where installed applications are looked for, in order, and bundles always considered.
    std::vector<std::string> appScanRoots;
    std::vector<std::string> extraAppBundles;
    // The file-name extension of an application bundle ("app"; "desktop" for desktop entries).
    std::string appBundleExtension;

    // A copy running from below this prefix is the installed copy.
    std::string installedApplicationsPrefix;
    // A copy running from below this prefix runs from a disk image (removable or mounted image).
    std::string removableMediaPrefix;

    // Applications hidden from the switcher until the user changes the list.
    std::vector<std::string> defaultIgnoredBundleIDs;

    // The supported browsers, in lookup order.
    std::vector<BrowserIdentity> browsers;
    // What the user does so that Vantlo can list browser tabs.
    BrowserTabAccess browserTabAccess = BrowserTabAccess::automationPermission;
    WindowAccess windowAccess = WindowAccess::accessibilityPermission;
    // Whether a summon may wait for the frontmost browser to list its tabs before the panel
    // shows. Where the browser is another process reached over a socket while the hot key holds
    // the keyboard, it may not: the panel shows the tabs known and refreshes them right after.
    bool summonWaitsForFrontmostBrowser = true;

    // How keys are written for the user: glyphs on the Mac, "Alt+Tab" on Linux.
    KeyLabelStyle keyLabelStyle = KeyLabelStyle::glyphs;

    // Whether `bundleID` is a file manager: the chosen one or any of the known ones. Its
    // windows fold into one group, it is never quit, and activating it opens a folder window.
    bool isFileManager(const std::string& bundleID) const {
        return bundleID == fileManagerBundleID || fileManagerBundleIDs.count(bundleID) > 0;
    }
    bool isFileManager(const std::optional<std::string>& bundleID) const {
        return bundleID && isFileManager(*bundleID);
    }

    // The macOS facts, verbatim; `homeDirectory` completes the per-user scan root.
    static PlatformFacts macOS(const std::string& homeDirectory);
    // The Linux equivalents. `dataHome` is $XDG_DATA_HOME (default ~/.local/share), `dataDirs`
    // the entries of $XDG_DATA_DIRS (default /usr/local/share, /usr/share), and
    // `defaultFileManager` the desktop ID (without ".desktop") of the user's folder handler when
    // known.
    static PlatformFacts linux(const std::string& homeDirectory, const std::string& dataHome,
                               const std::vector<std::string>& dataDirs,
                               const std::string& defaultFileManager);
};

}  // namespace vantlo
