// Feeds arbitrary text to the script interpreter, run against a Chromium-family browser, a
// Safari-family browser and a media player. Any text must end in a result or in nothing: no
// crash, no hang, no unbounded memory.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "scripting/InterpretedScriptEngine.h"
#include "testing/FakeBrowserDictionary.h"
#include "testing/FakeClock.h"
#include "testing/FakeMediaPlayerDictionary.h"

using namespace vantlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto registry = std::make_shared<ScriptApplicationRegistry>();
    for (auto [name, family] :
         {std::pair{"Google Chrome", BrowserFamily::chromium}, {"Safari", BrowserFamily::safari}}) {
        auto browser = std::make_shared<FakeBrowserDictionary>(name, family);
        browser->addWindow({{"Inbox \"1\"", "https://mail.example/"}, {"", ""}}, 2);
        browser->addWindow({{"Docs", "https://docs.example/a?b=c"}});
        registry->add(name, browser);
    }
    registry->add("Music", std::make_shared<FakeMediaPlayerDictionary>());
    InterpretedScriptEngine engine(registry, std::make_shared<FakeClock>(), 20'000);
    engine.execute(std::string(reinterpret_cast<const char*>(data), size), 5.0);
    return 0;
}
