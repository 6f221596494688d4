#include "SummonFixture.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "SyntheticCorpus.h"
#include "browser/BrowserTabCache.h"
#include "discovery/AppActivator.h"
#include "discovery/AppRegistry.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "onboarding/OnboardingManager.h"
#include "switcher/SwitchListBuilder.h"

namespace vantlo::bench {
namespace {

struct AppSpec {
    const char* bundleID;
    const char* name;
    const char* iconName;
};

// Applications a developer's Linux desktop runs, with their icon-theme names.
constexpr AppSpec kApps[] = {
    {"org.gnome.Terminal", "Terminal", "utilities-terminal"},
    {"org.gnome.TextEditor", "Text Editor", "accessories-text-editor"},
    {"code", "Visual Studio Code", "text-x-script"},
    {"org.kde.konsole", "Konsole", "utilities-terminal"},
    {"libreoffice-writer", "LibreOffice Writer", "x-office-document"},
    {"libreoffice-calc", "LibreOffice Calc", "x-office-spreadsheet"},
    {"org.gnome.Evince", "Document Viewer", "x-office-document"},
    {"gimp", "GNU Image Manipulation Program", "applications-graphics"},
    {"inkscape", "Inkscape", "applications-graphics"},
    {"thunderbird", "Thunderbird", "mail-unread"},
    {"org.gnome.Calculator", "Calculator", "accessories-calculator"},
    {"vlc", "VLC media player", "applications-multimedia"},
    {"emacs", "Emacs", "accessories-text-editor"},
    {"xterm", "XTerm", "utilities-terminal"},
    {"slack", "Slack", "internet-chat"},
    {"org.gnome.Settings", "Settings", "preferences-system"},
    {"jetbrains-idea", "IntelliJ IDEA", "applications-development"},
    {"org.gnome.Boxes", "Boxes", "computer"},
    {"org.kde.okular", "Okular", "x-office-document"},
    {"org.gnome.Characters", "Characters", "accessories-character-map"},
};

constexpr int kChromeWindows = 10;
constexpr int kChromiumWindows = 6;
constexpr int kFileManagerWindows = 12;

std::string entryPath(const std::string& bundleID) {
    return "/usr/share/applications/" + bundleID + ".desktop";
}

ImageRef themeIcon(const char* name) {
    auto image = std::make_shared<Image>();
    image->iconName = name;
    return image;
}

}  // namespace

SummonFixture::SummonFixture(FakePlatform& fake, Size size) : fake_(fake), scripted_(fake) {
    resetStores();
    addApplications(size);
    addBrowsers(size.tabs);
    fillCaches();
    useEverythingOnce();
    bringEditorToFront();
}

SummonFixture::~SummonFixture() {
    resetStores();
}

void SummonFixture::resetStores() {
    WindowEnumeratorCache::resetShared();
    BrowserTabCache::resetShared();
    AppRegistry::resetShared();
    MRUStore::resetShared();
    AppActivator::resetShared();
    OnboardingManager::resetShared();
}

void SummonFixture::addApplications(const Size& size) {
    SyntheticCorpus corpus;
    std::vector<FakeApp*> running;
    for (const AppSpec& spec : kApps) {
        fake_.addInstalledApp(entryPath(spec.bundleID), spec.bundleID, spec.name);
        running.push_back(&fake_.addApp({.bundleID = std::string(spec.bundleID),
                                         .name = std::string(spec.name),
                                         .bundlePath = entryPath(spec.bundleID),
                                         .icon = themeIcon(spec.iconName)}));
    }
    editor_ = running[1];
    const std::string fileManagerID = fake_.facts().fileManagerBundleID;
    fake_.addInstalledApp(entryPath(fileManagerID), fileManagerID, "Files");
    auto& files = fake_.addApp({.bundleID = fileManagerID,
                                .name = std::string("Files"),
                                .bundlePath = entryPath(fileManagerID),
                                .icon = themeIcon("system-file-manager")});
    const int browserWindows = size.tabs > 0 ? kChromeWindows + kChromiumWindows : 0;
    const int fileWindows = std::min(kFileManagerWindows, size.windows - browserWindows);
    for (int i = 0; i < fileWindows; ++i)
        fake_.addWindow(files, corpus.title());
    const int others = size.windows - browserWindows - fileWindows;
    for (int i = 0; i < others; ++i)
        fake_.addWindow(*running[static_cast<std::size_t>(i) % running.size()], corpus.title());
    const int installed = static_cast<int>(std::size(kApps)) + 1;
    for (int i = installed; i < size.installedApps; ++i) {
        const std::string id = "org.example.App" + std::to_string(i);
        fake_.addInstalledApp(entryPath(id), id, "Example App " + std::to_string(i));
    }
}

void SummonFixture::addBrowsers(int tabs) {
    if (tabs <= 0)
        return;
    SyntheticCorpus corpus(7);
    struct Browser {
        const char* bundleID;
        const char* name;
        int windows;
        int tabs;
    };
    const int chromeTabs = tabs * 7 / 10;
    const Browser browsers[] = {
        {"google-chrome", "Google Chrome", kChromeWindows, chromeTabs},
        {"chromium", "Chromium", kChromiumWindows, tabs - chromeTabs},
    };
    for (const Browser& browser : browsers) {
        fake_.addInstalledApp(entryPath(browser.bundleID), browser.bundleID, browser.name);
        auto& app = fake_.addApp({.bundleID = std::string(browser.bundleID),
                                  .name = std::string(browser.name),
                                  .bundlePath = entryPath(browser.bundleID),
                                  .icon = themeIcon("web-browser")});
        browser_ = browser_ ? browser_ : &app;
        auto dictionary = scripted_.addBrowser(browser.name, BrowserFamily::chromium);
        for (int w = 0; w < browser.windows; ++w) {
            const int count = browser.tabs / browser.windows + (w < browser.tabs % browser.windows);
            std::vector<FakeBrowserDictionary::PageSpec> pages;
            for (int t = 0; t < count; ++t) {
                TabItem tab = corpus.tab();
                pages.push_back({tab.title, tab.url});
            }
            const std::int64_t active = 1 + (w * 7) % std::max(count, 1);
            dictionary->addWindow(pages, active);
            const std::string activeTitle =
                pages.empty() ? std::string("New Tab") : pages[active - 1].title;
            fake_.addWindow(app, activeTitle + " - " + browser.name);
        }
    }
}

void SummonFixture::fillCaches() {
    AppRegistry::shared();
    BrowserTabCache::shared().refreshAsync(std::nullopt);
    fake_.dispatch->runUntilIdle();  // the registry's first scan and the tab listing
    WindowEnumeratorCache::shared().refreshSync();
}

// Every window and a third of the tabs were used at some time, in a shuffled order, so the list
// comes out in a realistic recency order rather than in the order it was made.
void SummonFixture::useEverythingOnce() {
    SwitchListBuilder builder([](const std::string&) { return false; });
    std::vector<std::string> keys;
    int tab = 0;
    for (const SwitchItem& item : builder.build()) {
        if (item.tab() && tab++ % 3 != 0)
            continue;
        keys.push_back(item.mruKey());
    }
    std::shuffle(keys.begin(), keys.end(), std::mt19937(2027));
    for (const auto& key : keys) {
        fake_.clock->advance(1);
        MRUStore::shared().touch(key);
    }
    fake_.dispatch->runUntilIdle();
}

void SummonFixture::bringEditorToFront() {
    fake_.setFrontmost(*editor_);
}

void SummonFixture::bringBrowserToFront() {
    if (browser_)
        fake_.setFrontmost(*browser_);
}

std::size_t SummonFixture::cachedWindowCount() const {
    return WindowEnumeratorCache::shared().cached().size();
}

std::size_t SummonFixture::cachedTabCount() const {
    return BrowserTabCache::shared().tabs().size();
}

}  // namespace vantlo::bench
