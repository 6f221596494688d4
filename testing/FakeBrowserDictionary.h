#pragma once
// A scriptable browser for tests: windows front to back, each with tabs (title, address, the
// browser's own tab id) and an active tab. Speaks the Chromium dictionary (tab "title", window
// "active tab index") or the Safari one (tab "name", window "current tab"), and records what
// scripts did to it: activations, closed tabs, z-order changes.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/PlatformFacts.h"
#include "scripting/ScriptableApplication.h"
#include "testing/FakeClock.h"

namespace vantlo {

class FakeBrowserDictionary : public ScriptableApplication {
  public:
    struct Tab {
        std::int64_t id = 0;
        std::string title;
        std::string url;
        std::string iconURL;  // the page icon the browser reports, as an extension does
    };
    struct Window {
        std::int64_t id = 0;
        std::vector<Tab> tabs;
        std::int64_t activeTabIndex = 1;  // from 1
    };
    struct PageSpec {
        PageSpec(std::string title, std::string url, std::string iconURL = {})
            : title(std::move(title)), url(std::move(url)), iconURL(std::move(iconURL)) {}
        std::string title;
        std::string url;
        std::string iconURL;
    };

    FakeBrowserDictionary(std::string applicationName, BrowserFamily family);

    // Scenario set-up: opens a window behind the others; answers its id.
    std::int64_t addWindow(const std::vector<PageSpec>& pages, std::int64_t activeTab = 1);
    // Every later call answers "failed", as a browser that refuses to be scripted.
    void refuseScripting(bool refuse) { refusing_ = refuse; }
    // Every later call waits until the run's deadline on `clock` and answers "timed out", as a
    // browser that never answers.
    void stopAnswering(std::shared_ptr<FakeClock> clock) { hangingClock_ = std::move(clock); }
    // Called with a window's id when a script brings it to the front, so a test can restack the
    // desktop window that shows it, as a real browser does.
    void onBroughtToFront(std::function<void(std::int64_t windowID)> handler) {
        broughtToFront_ = std::move(handler);
    }

    // What scripts saw and did.
    const std::vector<Window>& windows() const { return windows_; }
    const Window* windowWithID(std::int64_t id) const;
    const Tab& activeTab(std::size_t windowPosition) const;
    int activations() const { return activations_; }
    const std::vector<std::string>& closedTabTitles() const { return closedTabTitles_; }
    int calls() const { return calls_; }
    const std::string& applicationName() const { return applicationName_; }

    DictionaryReply resolve(const ObjectSpecifier& object, const ScriptDeadline& deadline) override;
    DictionaryReply countElements(const ObjectSpecifier& container, std::string_view elementClass,
                                  const ScriptDeadline& deadline) override;
    DictionaryReply getProperty(const ObjectSpecifier& object, std::string_view property,
                                const ScriptDeadline& deadline) override;
    DictionaryReply setProperty(const ObjectSpecifier& object, std::string_view property,
                                const RuntimeValue& value, const ScriptDeadline& deadline) override;
    DictionaryReply perform(std::string_view command, const RuntimeValue& directParameter,
                            const ScriptDeadline& deadline) override;
    std::map<std::string, std::string> pageIconAddresses() const override;

  private:
    struct Found {
        Window* window = nullptr;
        Tab* tab = nullptr;
        std::size_t windowPosition = 0;
        std::size_t tabPosition = 0;
    };

    // Nothing (an unanswered reply in `refusal`) when the browser does not answer this call.
    bool answers(const ScriptDeadline& deadline, DictionaryReply& refusal);
    bool locate(const ObjectSpecifier& object, Found& found);
    ObjectSpecifier canonical(const Found& found) const;
    DictionaryReply windowProperty(Found& found, std::string_view property);
    DictionaryReply tabProperty(Found& found, std::string_view property);
    DictionaryReply setWindowProperty(Found& found, std::string_view property,
                                      const RuntimeValue& value);
    DictionaryReply close(const RuntimeValue& directParameter);

    std::string applicationName_;
    BrowserFamily family_;
    std::vector<Window> windows_;
    std::int64_t nextID_ = 100;
    bool refusing_ = false;
    std::shared_ptr<FakeClock> hangingClock_;
    int activations_ = 0;
    int calls_ = 0;
    std::vector<std::string> closedTabTitles_;
    std::function<void(std::int64_t)> broughtToFront_;
};

}  // namespace vantlo
