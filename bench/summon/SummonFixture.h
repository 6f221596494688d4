#pragma once
// A desktop as crowded as the switcher is built for, on the fake platform: many applications'
// windows (a dozen of them the file manager's), browser tabs in two Chromium browsers, installed
// applications and a use history over all of it. The real caches are filled the way the program
// fills them, by enumerating windows and asking the browsers for their tabs.

#include <memory>

#include "testing/FakePlatform.h"
#include "testing/FakeScriptedApps.h"

namespace vantlo::bench {

class SummonFixture {
  public:
    struct Size {
        int windows = 500;
        int tabs = 1000;
        int installedApps = 120;
    };

    // Resets the process-wide stores, builds the desktop on `fake` and fills the caches.
    SummonFixture(FakePlatform& fake, Size size);
    ~SummonFixture();
    SummonFixture(const SummonFixture&) = delete;
    SummonFixture& operator=(const SummonFixture&) = delete;

    // The application in front when the hot key is pressed.
    void bringEditorToFront();
    void bringBrowserToFront();

    std::size_t cachedWindowCount() const;
    std::size_t cachedTabCount() const;

  private:
    static void resetStores();
    void addApplications(const Size& size);
    void addBrowsers(int tabs);
    void fillCaches();
    void useEverythingOnce();

    FakePlatform& fake_;
    FakeScriptedApps scripted_;
    FakeApp* editor_ = nullptr;
    FakeApp* browser_ = nullptr;
};

}  // namespace vantlo::bench
