#include "platform/PlatformFacts.h"

namespace vantlo {
namespace {

BrowserIdentity macBrowser(std::string bundleID, std::string name, BrowserFamily family,
                           std::set<std::string> displayNames) {
    BrowserIdentity b;
    b.bundleID = std::move(bundleID);
    b.name = name;
    b.applicationName = name;
    b.family = family;
    b.bundleNames = {name + ".app"};
    b.executableNames = {name};
    b.localizedNames = displayNames;
    b.ownerNames = std::move(displayNames);
    b.iconPath = "/Applications/" + name + ".app";
    return b;
}

std::vector<BrowserIdentity> macBrowsers() {
    using F = BrowserFamily;
    return {
        macBrowser("com.google.Chrome", "Google Chrome", F::chromium, {"Google Chrome", "Chrome"}),
        macBrowser("com.microsoft.edgemac", "Microsoft Edge", F::chromium,
                   {"Microsoft Edge", "Edge"}),
        macBrowser("com.brave.Browser", "Brave Browser", F::chromium, {"Brave Browser", "Brave"}),
        macBrowser("company.thebrowser.Browser", "Arc", F::chromium, {"Arc"}),
        macBrowser("org.chromium.Chromium", "Chromium", F::chromium, {"Chromium"}),
        macBrowser("com.vivaldi.Vivaldi", "Vivaldi", F::chromium, {"Vivaldi"}),
        macBrowser("com.operasoftware.Opera", "Opera", F::chromium, {"Opera"}),
        macBrowser("com.apple.Safari", "Safari", F::safari, {"Safari"}),
    };
}

// A browser on Linux: identified by desktop ID, desktop-file names, executables and the names
// its windows and entries carry. Scripts still address it by its usual product name.
BrowserIdentity linuxBrowser(std::string desktopID, std::string name, BrowserFamily family,
                             std::set<std::string> desktopFiles, std::set<std::string> executables,
                             std::set<std::string> displayNames,
                             const std::string& applicationsDir) {
    BrowserIdentity b;
    b.bundleID = desktopID;
    b.name = name;
    b.applicationName = name;
    b.family = family;
    b.bundleNames = std::move(desktopFiles);
    b.executableNames = std::move(executables);
    b.localizedNames = displayNames;
    b.ownerNames = std::move(displayNames);
    b.iconPath = applicationsDir + "/" + desktopID + ".desktop";
    return b;
}

std::vector<BrowserIdentity> linuxBrowsers(const std::string& apps) {
    using F = BrowserFamily;
    return {
        linuxBrowser("google-chrome", "Google Chrome", F::chromium,
                     {"google-chrome.desktop", "com.google.Chrome.desktop"},
                     {"chrome", "google-chrome", "google-chrome-stable"}, {"Google Chrome"}, apps),
        linuxBrowser("microsoft-edge", "Microsoft Edge", F::chromium,
                     {"microsoft-edge.desktop", "com.microsoft.Edge.desktop"},
                     {"msedge", "microsoft-edge", "microsoft-edge-stable"}, {"Microsoft Edge"},
                     apps),
        linuxBrowser("brave-browser", "Brave Browser", F::chromium,
                     {"brave-browser.desktop", "com.brave.Browser.desktop"},
                     {"brave", "brave-browser"}, {"Brave Browser", "Brave"}, apps),
        // Arc has no Linux build; the row stays so the table has the same shape everywhere.
        linuxBrowser("company.thebrowser.Browser", "Arc", F::chromium, {}, {}, {}, apps),
        linuxBrowser(
            "chromium", "Chromium", F::chromium,
            {"chromium.desktop", "chromium-browser.desktop", "org.chromium.Chromium.desktop"},
            {"chromium", "chromium-browser"}, {"Chromium"}, apps),
        linuxBrowser("vivaldi-stable", "Vivaldi", F::chromium, {"vivaldi-stable.desktop"},
                     {"vivaldi", "vivaldi-bin", "vivaldi-stable"}, {"Vivaldi"}, apps),
        linuxBrowser("opera", "Opera", F::chromium, {"opera.desktop"}, {"opera"}, {"Opera"}, apps),
        // Safari has no Linux build either.
        linuxBrowser("com.apple.Safari", "Safari", F::safari, {}, {}, {}, apps),
        // Firefox speaks the same extension bridge, hence the same dictionary as Chromium.
        linuxBrowser("firefox-esr", "Firefox ESR", F::chromium, {"firefox-esr.desktop"},
                     {"firefox-esr"}, {"Firefox ESR"}, apps),
        linuxBrowser("firefox", "Firefox", F::chromium,
                     {"firefox.desktop", "org.mozilla.firefox.desktop"}, {"firefox", "firefox-bin"},
                     {"Firefox", "Mozilla Firefox"}, apps),
    };
}

}  // namespace

PlatformFacts PlatformFacts::macOS(const std::string& homeDirectory) {
    PlatformFacts f;
    f.fileManagerBundleID = "com.apple.finder";
    f.fileManagerAppPath = "/System/Library/CoreServices/Finder.app";
    f.fileManagerBundleIDs = {"com.apple.finder"};
    f.protectedBundleIDs = {"com.local.vantlo", "com.apple.finder", "com.apple.dock",
                            "com.apple.SystemUIServer", "com.apple.loginwindow"};
    f.forceQuitIneffectiveBundleIDs = {"com.google.GeminiMacOS",
                                       "com.install4j.5557-0173-2810-0000.22"};
    f.desktopProtectedBundleIDs = {"com.local.vantlo"};
    f.mediaAppNames = {
        {"com.apple.Music", "Music"}, {"com.apple.podcasts", "Podcasts"}, {"com.apple.TV", "TV"}};
    f.appScanRoots = {"/Applications", "/System/Applications", "/System/Applications/Utilities",
                      "/Applications/Utilities", homeDirectory + "/Applications"};
    f.extraAppBundles = {"/System/Library/CoreServices/Finder.app", "/Applications/Safari.app",
                         "/System/Volumes/Preboot/Cryptexes/App/System/Applications/Safari.app"};
    f.appBundleExtension = "app";
    f.installedApplicationsPrefix = "/Applications/";
    f.removableMediaPrefix = "/Volumes/";
    f.defaultIgnoredBundleIDs = {"com.apple.notificationcenterui", "com.apple.dock",
                                 "com.apple.controlcenter", "com.apple.WindowManager"};
    f.browsers = macBrowsers();
    f.browserTabAccess = BrowserTabAccess::automationPermission;
    f.windowAccess = WindowAccess::accessibilityPermission;
    f.summonWaitsForFrontmostBrowser = true;
    f.keyLabelStyle = KeyLabelStyle::glyphs;
    return f;
}

PlatformFacts PlatformFacts::linux(const std::string& homeDirectory, const std::string& dataHome,
                                   const std::vector<std::string>& dataDirs,
                                   const std::string& defaultFileManager) {
    PlatformFacts f;
    const std::set<std::string> knownFileManagers = {"org.gnome.Nautilus",
                                                     "nautilus",
                                                     "org.kde.dolphin",
                                                     "thunar",
                                                     "Thunar",
                                                     "org.xfce.Thunar",
                                                     "nemo",
                                                     "caja",
                                                     "pcmanfm",
                                                     "pcmanfm-qt",
                                                     "io.elementary.files",
                                                     "org.gnome.Nautilus.desktop"};
    f.fileManagerBundleIDs = knownFileManagers;
    f.fileManagerBundleIDs.erase("org.gnome.Nautilus.desktop");
    f.fileManagerBundleID = defaultFileManager.empty() ? "org.gnome.Nautilus" : defaultFileManager;
    f.fileManagerBundleIDs.insert(f.fileManagerBundleID);

    std::string userApps =
        (dataHome.empty() ? homeDirectory + "/.local/share" : dataHome) + "/applications";
    f.appScanRoots.push_back(userApps);
    std::vector<std::string> dirs = dataDirs;
    if (dirs.empty())
        dirs = {"/usr/local/share", "/usr/share"};
    for (const auto& dir : dirs)
        f.appScanRoots.push_back(dir + "/applications");
    f.appScanRoots.push_back(homeDirectory + "/.local/share/flatpak/exports/share/applications");
    f.appScanRoots.push_back("/var/lib/flatpak/exports/share/applications");
    f.appScanRoots.push_back("/var/lib/snapd/desktop/applications");
    f.appBundleExtension = "desktop";
    std::string systemApps = dirs.back() + "/applications";
    f.fileManagerAppPath = systemApps + "/" + f.fileManagerBundleID + ".desktop";

    // Desktop shell components: quitting them from a switcher would take the desktop away.
    const std::vector<std::string> shell = {
        "org.gnome.Shell", "gnome-shell", "plasmashell", "org.kde.plasmashell",
        "xfce4-panel",     "xfdesktop",   "xfwm4",       "cinnamon",
        "mate-panel",      "lxpanel",     "lxqt-panel",  "tint2",
        "openbox",         "fluxbox"};
    f.protectedBundleIDs = {f.selfBundleID};
    for (const auto& id : knownFileManagers)
        f.protectedBundleIDs.push_back(id);
    if (!knownFileManagers.count(f.fileManagerBundleID))
        f.protectedBundleIDs.push_back(f.fileManagerBundleID);
    for (const auto& id : shell)
        f.protectedBundleIDs.push_back(id);
    f.desktopProtectedBundleIDs = {f.selfBundleID};
    // MPRIS players, addressed by the last part of their bus name.
    f.mediaAppNames = {{"org.gnome.Rhythmbox3", "rhythmbox"},
                       {"rhythmbox", "rhythmbox"},
                       {"vlc", "vlc"},
                       {"org.videolan.VLC", "vlc"},
                       {"spotify", "spotify"},
                       {"com.spotify.Client", "spotify"},
                       {"org.gnome.Music", "org.gnome.Music"},
                       {"audacious", "audacious"},
                       {"clementine", "clementine"},
                       {"strawberry", "strawberry"}};
    f.installedApplicationsPrefix = "/usr/";
    // A mounted AppImage runs from below this prefix.
    f.removableMediaPrefix = "/tmp/.mount_";
    f.defaultIgnoredBundleIDs = shell;
    f.browsers = linuxBrowsers(systemApps);
    // Browsers answer through the Vantlo Tabs extension and its native-messaging host.
    f.browserTabAccess = BrowserTabAccess::browserExtension;
    f.windowAccess = WindowAccess::windowManager;
    // The extension tells of every change, and nothing may wait on a socket while the hot key
    // holds the keyboard: a summon shows the tabs known and reads them again right after.
    f.summonWaitsForFrontmostBrowser = false;
    // Linux desktops write "Alt+Tab", "Ctrl+Shift+K".
    f.keyLabelStyle = KeyLabelStyle::words;
    return f;
}

}  // namespace vantlo
