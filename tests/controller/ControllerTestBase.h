#pragma once
// A desktop, a panel that is never drawn and hand-driven event monitors, around one controller.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "browser/BrowserTabCache.h"
#include "discovery/AppActivator.h"
#include "discovery/AppRegistry.h"
#include "discovery/MRUStore.h"
#include "discovery/WindowEnumeratorCache.h"
#include "onboarding/OnboardingManager.h"
#include "platform/KeyCodes.h"
#include "platform/ModifierFlags.h"
#include "switcher/SwitcherPanelController.h"
#include "testing/FakeEventMonitors.h"
#include "testing/FakePanelPresenter.h"
#include "testing/FakePlatform.h"

namespace vantlo {

class ControllerTestBase : public ::testing::Test {
  protected:
    ControllerTestBase() { resetStores(); }
    ~ControllerTestBase() override {
        controller.reset();
        resetStores();
    }

    static void resetStores() {
        WindowEnumeratorCache::resetShared();
        BrowserTabCache::resetShared();
        AppRegistry::resetShared();
        MRUStore::resetShared();
        AppActivator::resetShared();
        OnboardingManager::resetShared();
    }

    void makeController() {
        controller = SwitcherPanelController::create(
            presenter, monitors, [this](const std::string& line) { lines.push_back(line); });
    }

    // An application with one window per title, each window more recently used than the last
    // one added before it.
    FakeApp& appWithWindows(const std::string& name, const std::string& bundleID,
                            const std::vector<std::string>& titles) {
        auto& app = fake.addApp(
            {.bundleID = bundleID, .name = name, .bundlePath = "/Applications/" + name + ".app"});
        for (const auto& title : titles)
            fake.addWindow(app, title);
        return app;
    }

    // Marks each title's window as used, oldest first, so the list comes out newest first.
    void useInOrder(const std::vector<std::string>& keysOldestFirst) {
        for (const auto& key : keysOldestFirst) {
            fake.clock->advance(1);
            MRUStore::shared().touch(key);
        }
    }

    // Three windows, used Notes (oldest), Inbox, zsh (newest), and the controller over them.
    void threeWindows() {
        appWithWindows("Editor", "com.example.editor", {"Notes"});
        appWithWindows("Mail", "com.example.mail", {"Inbox"});
        appWithWindows("Terminal", "com.example.terminal", {"zsh"});
        useInOrder(
            {"com.example.editor::Notes", "com.example.mail::Inbox", "com.example.terminal::zsh"});
        makeController();
    }

    std::vector<std::string> titles(const std::vector<SwitchItem>& items) {
        std::vector<std::string> out;
        for (const auto& item : items)
            out.push_back(item.title());
        return out;
    }

    std::string selectedTitle() {
        auto item = controller->viewModel()->selectedItem();
        return item ? item->title() : "<none>";
    }

    void summon() {
        controller->forward();
        fake.dispatch->runUntilIdle();
    }
    // Lets go of Option and waits long enough for a commit's delayed hide.
    void releaseOption() {
        monitors->flagsChanged(0);
        fake.dispatch->advance(0.1);
    }
    bool press(std::uint16_t keyCode, std::uint64_t flags = ModifierFlags::option,
               std::string characters = {}) {
        bool consumed = monitors->keyDown(keyCode, flags, std::move(characters));
        fake.dispatch->runUntilIdle();
        return consumed;
    }

    FakePlatform fake;
    std::shared_ptr<FakePanelPresenter> presenter = std::make_shared<FakePanelPresenter>();
    std::shared_ptr<FakeEventMonitors> monitors = std::make_shared<FakeEventMonitors>();
    std::shared_ptr<SwitcherPanelController> controller;
    std::vector<std::string> lines;
};

}  // namespace vantlo
