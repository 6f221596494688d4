#include "switcher/ShowcaseDesktop.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace vantlo {
namespace {

ImageRef themeIcon(const std::string& name) {
    auto image = std::make_shared<Image>();
    image->iconName = name;
    return image;
}

WindowItem window(Pid pid, std::string app, std::string bundle, std::string icon,
                  std::string title) {
    WindowItem w;
    w.id = Uuid::random();
    w.pid = pid;
    w.appName = std::move(app);
    w.appBundleID = std::move(bundle);
    w.appIcon = themeIcon(icon);
    w.title = std::move(title);
    return w;
}

TabItem tab(const std::string& browserID, const std::string& browser, Pid pid, std::string icon,
            std::string title, std::string url, int windowIndex, int tabIndex, bool active) {
    TabItem t;
    t.id = Uuid::random();
    t.browserBundleID = browserID;
    t.browserAppName = browser;
    t.browserPID = pid;
    t.appIcon = themeIcon(icon);
    t.title = std::move(title);
    t.url = std::move(url);
    t.windowIndex = windowIndex;
    t.tabIndex = tabIndex;
    t.isActiveInFrontWindow = active;
    return t;
}

AppItem app(std::string bundle, std::string name, std::string icon, std::string path) {
    AppItem a;
    a.id = Uuid::random();
    a.bundleID = std::move(bundle);
    a.name = std::move(name);
    a.icon = themeIcon(icon);
    a.path = std::move(path);
    return a;
}

std::vector<TabItem> chromiumTabs() {
    const std::string id = "chromium";
    const std::string name = "Chromium";
    return {
        tab(id, name, 4102, "chromium", "Pull requests · vantlo/switcher",
            "https://github.com/vantlo/switcher/pulls", 1, 1, false),
        tab(id, name, 4102, "chromium", "Quarterly planning – Google Docs",
            "https://docs.google.com/document/d/1x7Q/edit", 1, 2, true),
        tab(id, name, 4102, "chromium", "std::ranges::stable_sort - cppreference.com",
            "https://en.cppreference.com/w/cpp/algorithm/ranges/stable_sort", 1, 3, false),
        tab(id, name, 4102, "chromium", "Inbox (3) – mail.example.org",
            "https://mail.example.org/inbox", 2, 1, false),
        tab(id, name, 4102, "chromium", "Flight LH 2024 – status", "https://www.lufthansa.com/", 2,
            2, false),
    };
}

std::vector<TabItem> firefoxTabs() {
    const std::string id = "firefox-esr";
    const std::string name = "Firefox ESR";
    return {
        tab(id, name, 3977, "firefox-esr", "Debian -- Packages", "https://packages.debian.org/", 1,
            1, true),
        tab(id, name, 3977, "firefox-esr", "Weather forecast for Berlin",
            "https://weather.example.com/berlin", 1, 2, false),
        tab(id, name, 3977, "firefox-esr", "Release notes – Qt 6.4",
            "https://doc.qt.io/qt-6/whatsnew64.html", 1, 3, false),
    };
}

TabGroupItem tabGroup(const std::vector<TabItem>& tabs) {
    TabGroupItem g;
    g.id = Uuid::random();
    g.browserBundleID = tabs.front().browserBundleID;
    g.appName = tabs.front().browserAppName;
    g.appIcon = tabs.front().appIcon;
    g.tabs = tabs;
    return g;
}

WindowGroupItem fileManagerGroup() {
    WindowGroupItem g;
    g.id = Uuid::random();
    g.appBundleID = "org.gnome.Nautilus";
    g.appName = "Files";
    g.appIcon = themeIcon("system-file-manager");
    for (std::string title : {"Documents", "Downloads", "Pictures — Holiday 2026"}) {
        g.windows.push_back(
            window(2210, "Files", "org.gnome.Nautilus", "system-file-manager", std::move(title)));
    }
    return g;
}

}  // namespace

namespace ShowcaseDesktop {

std::vector<SwitchItem> defaultVisibleItems() {
    const std::string apps = "/usr/share/applications/";
    return {
        window(3120, "Text Editor", "org.gnome.TextEditor", "accessories-text-editor",
               "release-notes.md — ~/Projects/vantlo"),
        window(2874, "Terminal", "org.gnome.Terminal", "utilities-terminal",
               "ninja -C build — ~/Projects/vantlo"),
        tabGroup(chromiumTabs()),
        window(3355, "LibreOffice Calc", "libreoffice-calc", "libreoffice-calc", "Budget 2027.ods"),
        fileManagerGroup(),
        tabGroup(firefoxTabs()),
        window(2874, "Terminal", "org.gnome.Terminal", "utilities-terminal", "htop"),
        window(3590, "Thunderbird", "thunderbird", "thunderbird", "Inbox — Thunderbird"),
        window(3120, "Text Editor", "org.gnome.TextEditor", "accessories-text-editor", ""),
        app("org.gnome.Calculator", "Calculator", "accessories-calculator",
            apps + "org.gnome.Calculator.desktop"),
        app("rhythmbox", "Rhythmbox", "rhythmbox", apps + "rhythmbox.desktop"),
    };
}

std::vector<SwitchItem> hiddenSearchOnlyItems() {
    const std::string apps = "/usr/share/applications/";
    std::vector<SwitchItem> items;
    for (const auto& t : chromiumTabs())
        items.emplace_back(t);
    for (const auto& t : firefoxTabs())
        items.emplace_back(t);
    items.emplace_back(
        app("gimp", "GNU Image Manipulation Program", "gimp", apps + "gimp.desktop"));
    items.emplace_back(app("org.inkscape.Inkscape", "Inkscape", "org.inkscape.Inkscape",
                           apps + "org.inkscape.Inkscape.desktop"));
    items.emplace_back(
        app("org.gnome.Maps", "Maps", "org.gnome.Maps", apps + "org.gnome.Maps.desktop"));
    items.emplace_back(app("vlc", "VLC media player", "vlc", apps + "vlc.desktop"));
    items.emplace_back(app("org.gnome.Settings", "Settings", "preferences-system",
                           apps + "org.gnome.Settings.desktop"));
    return items;
}

SwitchItem largeWindowGroup(int count) {
    WindowGroupItem g = fileManagerGroup();
    g.windows.clear();
    for (int i = 1; i <= count; ++i) {
        g.windows.push_back(window(2210, "Files", "org.gnome.Nautilus", "system-file-manager",
                                   "Folder " + std::to_string(i)));
    }
    return g;
}

int selectedIndex(const std::optional<std::string>& selection, int visibleCount) {
    int last = std::max(visibleCount - 1, 0);
    std::string value = selection.value_or("middle");
    if (value == "top")
        return 0;
    if (value == "bottom")
        return last;
    int parsed = 0;
    auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (!value.empty() && error == std::errc() && end == value.data() + value.size()) {
        return std::clamp(parsed, 0, last);
    }
    return visibleCount >= 2 ? std::min(visibleCount, 6) - 1 : 0;
}

}  // namespace ShowcaseDesktop
}  // namespace vantlo
