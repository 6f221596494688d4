#include <gtest/gtest.h>

#include <map>

#include "platform/linux/ApplicationMatcher.h"

namespace vantlo {
namespace {

// A made-up desktop: entries added by ID, processes and windows by pid, and the per-process
// facts (Flatpak, snap, GIO launch) answered from tables.
class Desktop {
  public:
    void addEntry(const std::string& id, const std::string& exec, const std::string& wmClass = "",
                  bool noDisplay = false) {
        DesktopEntry e;
        e.id = id;
        e.path = "/usr/share/applications/" + id + ".desktop";
        e.type = "Application";
        e.name = e.localizedName = id + " name";
        e.icon = id;
        e.exec = exec;
        e.startupWMClass = wmClass;
        e.noDisplay = noDisplay;
        std::size_t index = entries.entries.size();
        auto lower = [](std::string s) {
            for (auto& c : s)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        entries.byId[lower(id)] = index;
        if (!wmClass.empty())
            entries.byWmClass[lower(wmClass)] = index;
        if (!e.execProgram().empty())
            entries.byExecProgram[lower(e.execProgram())] = index;
        entries.byPath[e.path] = index;
        entries.entries.push_back(e);
    }
    void addProcess(Pid pid, const std::string& program, Pid parent = 1) {
        ProcessFacts p;
        p.pid = pid;
        p.parent = parent;
        p.argv = {"/usr/bin/" + program};
        processes.push_back(p);
    }
    void addWindow(Pid pid, const std::string& instance, const std::string& className,
                   bool normal = true) {
        windows[pid].wmClasses.emplace_back(instance, className);
        windows[pid].hasNormalWindow = windows[pid].hasNormalWindow || normal;
    }
    std::map<Pid, RunningApplication> match() const {
        ApplicationMatcher::Lookups lookups;
        lookups.flatpakAppId = answer(flatpak);
        lookups.snapName = answer(snaps);
        lookups.launchedDesktopFile = answer(launched);
        std::map<Pid, RunningApplication> byPid;
        for (auto& app : ApplicationMatcher::match(processes, windows, entries, lookups))
            byPid[app.pid] = app;
        return byPid;
    }

    DesktopEntryIndex::Snapshot entries;
    std::vector<ProcessFacts> processes;
    std::map<Pid, ProcessWindows> windows;
    std::map<Pid, std::string> flatpak, snaps, launched;

  private:
    static std::function<std::optional<std::string>(Pid)> answer(
        const std::map<Pid, std::string>& table) {
        return [table](Pid pid) -> std::optional<std::string> {
            auto it = table.find(pid);
            if (it == table.end())
                return std::nullopt;
            return it->second;
        };
    }
};

TEST(ApplicationMatcher, MatchesProcessesToEntriesInOrderOfReliability) {
    Desktop d;
    d.addEntry("org.gnome.Terminal", "gnome-terminal", "Gnome-terminal");
    d.addEntry("firefox-esr", "firefox-esr %u");
    d.addEntry("org.videolan.VLC", "/app/bin/vlc");
    d.addEntry("spotify_spotify", "spotify");
    d.addEntry("mousepad", "mousepad %F");
    d.addEntry("custom-tool", "custom-tool");
    d.addProcess(100, "gnome-terminal-server");
    d.addWindow(100, "gnome-terminal-server", "Gnome-terminal");
    d.addProcess(101, "firefox-esr");
    d.addWindow(101, "Navigator", "FIREFOX-ESR");
    d.addProcess(102, "vlc");
    d.flatpak[102] = "org.videolan.VLC";
    d.addProcess(103, "spotify-bin");
    d.snaps[103] = "spotify";
    d.addProcess(104, "python3");
    d.launched[104] = "/usr/share/applications/custom-tool.desktop";
    d.addProcess(105, "mousepad");

    auto apps = d.match();
    std::map<Pid, std::string> expected = {{100, "org.gnome.Terminal"}, {101, "firefox-esr"},
                                           {102, "org.videolan.VLC"},   {103, "spotify_spotify"},
                                           {104, "custom-tool"},        {105, "mousepad"}};
    for (const auto& [pid, id] : expected) {
        ASSERT_TRUE(apps.count(pid)) << "pid " << pid;
        EXPECT_EQ(apps[pid].bundleIdentifier, id) << "pid " << pid;
        EXPECT_EQ(apps[pid].activationPolicy, ActivationPolicy::regular) << "pid " << pid;
    }
    EXPECT_EQ(apps[100].bundlePath, "/usr/share/applications/org.gnome.Terminal.desktop");
    EXPECT_EQ(apps[100].localizedName, "org.gnome.Terminal name");
    ASSERT_TRUE(apps[100].icon);
    EXPECT_EQ(apps[100].icon->iconName, "org.gnome.Terminal");
}

TEST(ApplicationMatcher, OneWindowLessMainProcessPerEntryAndWindowedInstancesEach) {
    Desktop d;
    d.addEntry("chromium", "chromium %U");
    d.addEntry("xterm", "xterm", "XTerm");
    d.addEntry("nm-applet", "nm-applet", "", /*noDisplay=*/true);
    // A browser: the main process has the windows, its helpers none.
    d.addProcess(200, "chromium");
    d.addWindow(200, "chromium", "Chromium");
    d.addProcess(201, "chromium", 200);
    d.addProcess(202, "chromium", 200);
    // Two terminals, each its own process with a window: two instances.
    d.addProcess(300, "xterm");
    d.addWindow(300, "xterm", "XTerm");
    d.addProcess(301, "xterm");
    d.addWindow(301, "xterm", "XTerm");
    // A tray tool without windows and its child.
    d.addProcess(400, "nm-applet");
    d.addProcess(401, "nm-applet", 400);
    // Unmatched: a shell without windows, and a windowed program without an entry.
    d.addProcess(500, "bash");
    d.addProcess(600, "mystery");
    d.addWindow(600, "mystery", "Mystery");
    d.addProcess(700, "python3");
    d.addWindow(700, "splash", "Splash", /*normal=*/false);

    auto apps = d.match();
    std::vector<Pid> pids;
    for (const auto& [pid, app] : apps)
        pids.push_back(pid);
    EXPECT_EQ(pids, (std::vector<Pid>{200, 300, 301, 400, 600}));
    EXPECT_EQ(apps[400].activationPolicy, ActivationPolicy::accessory)
        << "a NoDisplay entry without a normal window";
    EXPECT_EQ(apps[600].bundleIdentifier, "Mystery");
    EXPECT_EQ(apps[600].localizedName, "Mystery");
    EXPECT_EQ(apps[600].activationPolicy, ActivationPolicy::regular);
    EXPECT_FALSE(apps[600].bundlePath);
}

// Three terminals of one entry tie on recency until one is used through the switcher, so the
// order they come in must already be the order they were last raised in.
TEST(ApplicationMatcher, MostRecentlyRaisedApplicationsComeFirst) {
    Desktop d;
    d.addEntry("xterm", "xterm", "XTerm");
    d.addEntry("nm-applet", "nm-applet");
    d.addProcess(100, "nm-applet");
    for (Pid pid : {300, 301, 302}) {
        d.addProcess(pid, "xterm");
        d.addWindow(pid, "xterm", "XTerm");
    }
    // 302 was raised last, then 300; 301 is at the bottom.
    d.windows[302].topmostRank = 0;
    d.windows[300].topmostRank = 1;
    d.windows[301].topmostRank = 4;

    ApplicationMatcher::Lookups none;
    none.flatpakAppId = none.snapName =
        none.launchedDesktopFile = [](Pid) { return std::optional<std::string>(); };
    std::vector<Pid> order;
    for (const auto& app : ApplicationMatcher::match(d.processes, d.windows, d.entries, none))
        order.push_back(app.pid);
    EXPECT_EQ(order, (std::vector<Pid>{302, 300, 301, 100}))
        << "windowed applications by stacking, then the window-less one";
}

TEST(ApplicationMatcher, LaunchersAndInterpretersDoNotClaimEntries) {
    Desktop d;
    d.addEntry("python-tool", "python3 /usr/share/tool/main.py");
    d.addEntry("shell-thing", "sh -c thing");
    d.addProcess(10, "python3");
    d.addProcess(11, "sh");
    EXPECT_TRUE(d.match().empty());
}

}  // namespace
}  // namespace vantlo
