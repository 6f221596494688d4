#pragma once
// Puts the script interpreter behind the fake script engine, with fake browsers and media players
// as the applications scripts can talk to. The fake engine still records every script.
//
//   FakeScriptedApps scripted(fake);
//   auto chrome = scripted.addBrowser("Google Chrome", BrowserFamily::chromium);
//   chrome->addWindow({{"Inbox", "https://mail.example/"}});

#include <memory>
#include <string>

#include "scripting/InterpretedScriptEngine.h"
#include "testing/FakeBrowserDictionary.h"
#include "testing/FakeMediaPlayerDictionary.h"
#include "testing/FakePlatform.h"

namespace vantlo {

class FakeScriptedApps {
  public:
    explicit FakeScriptedApps(FakePlatform& fake);
    ~FakeScriptedApps();
    FakeScriptedApps(const FakeScriptedApps&) = delete;
    FakeScriptedApps& operator=(const FakeScriptedApps&) = delete;

    std::shared_ptr<FakeBrowserDictionary> addBrowser(const std::string& applicationName,
                                                      BrowserFamily family);
    std::shared_ptr<FakeMediaPlayerDictionary> addMediaPlayer(const std::string& applicationName);
    ScriptApplicationRegistry& registry() { return *registry_; }

  private:
    FakePlatform& fake_;
    std::shared_ptr<ScriptApplicationRegistry> registry_;
    std::shared_ptr<InterpretedScriptEngine> engine_;
};

}  // namespace vantlo
