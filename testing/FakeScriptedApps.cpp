#include "testing/FakeScriptedApps.h"

namespace vantlo {

FakeScriptedApps::FakeScriptedApps(FakePlatform& fake)
    : fake_(fake),
      registry_(std::make_shared<ScriptApplicationRegistry>()),
      engine_(std::make_shared<InterpretedScriptEngine>(registry_, fake.clock)) {
    fake_.scripts->setHandler([engine = engine_](const std::string& source, double timeout) {
        return engine->execute(source, timeout);
    });
    fake_.scripts->setPageIconSource([engine = engine_](const std::string& applicationName) {
        return engine->pageIconAddresses(applicationName);
    });
}

FakeScriptedApps::~FakeScriptedApps() {
    fake_.scripts->setHandler(nullptr);
    fake_.scripts->setPageIconSource(nullptr);
}

std::shared_ptr<FakeBrowserDictionary> FakeScriptedApps::addBrowser(
    const std::string& applicationName, BrowserFamily family) {
    auto browser = std::make_shared<FakeBrowserDictionary>(applicationName, family);
    registry_->add(applicationName, browser);
    return browser;
}

std::shared_ptr<FakeMediaPlayerDictionary> FakeScriptedApps::addMediaPlayer(
    const std::string& applicationName) {
    auto player = std::make_shared<FakeMediaPlayerDictionary>();
    registry_->add(applicationName, player);
    return player;
}

}  // namespace vantlo
