// Listing a browser with 1,000 tabs through its extension: the tab list arrives as the JSON text
// the bridge receives, the unchanged listing script runs against the bridge application, and the
// answer becomes switcher items with the page icons the extension reported. Goal: well under
// 20 ms per listing.

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "browser/BrowserScripts.h"
#include "browser/BrowserTabEnumerator.h"
#include "platform/PlatformFacts.h"
#include "platform/linux/BridgeBrowser.h"
#include "platform/posix/SystemClock.h"
#include "scripting/InterpretedScriptEngine.h"

namespace vantlo {
namespace {

using nlohmann::json;

// Answers "list" by parsing the recorded answer's text, as the bridge server does per message.
class TextBridge : public BridgeTransport {
  public:
    explicit TextBridge(std::string listText) : listText_(std::move(listText)) {}
    BridgeReply call(const json&, const ScriptDeadline&) override {
        return {BridgeReply::Status::ok, json::parse(listText_), {}};
    }

  private:
    std::string listText_;
};

// `windows` windows sharing `tabs` tabs, titles and addresses like real pages.
std::string tabListText(int windows, int tabs) {
    json list = json::array();
    int id = 1;
    for (int w = 0; w < windows; ++w) {
        json strip = json::array();
        for (int t = 0; t < tabs / windows; ++t, ++id) {
            std::string site = "https://site" + std::to_string(id % 97) + ".example.com";
            strip.push_back({{"id", id},
                             {"windowId", 1000 + w},
                             {"index", t},
                             {"title", "Page " + std::to_string(id) + " – a typical title"},
                             {"url", site + "/articles/" + std::to_string(id) + "?ref=list"},
                             {"active", t == 0},
                             {"favIconUrl", site + "/favicon.ico"},
                             {"pinned", false}});
        }
        list.push_back({{"id", 1000 + w},
                        {"focused", w == 0},
                        {"state", "normal"},
                        {"left", 10 * w},
                        {"top", 10 * w},
                        {"width", 1200},
                        {"height", 800},
                        {"tabs", strip}});
    }
    return json{{"windows", list}}.dump();
}

void BM_ListThousandTabsOverTheBridge(benchmark::State& state) {
    auto facts = PlatformFacts::linux("/home/bench", "/home/bench/.local/share", {"/usr/share"},
                                      "org.gnome.Nautilus.desktop");
    BrowserIdentity chromium;
    for (const auto& row : facts.browsers)
        if (row.bundleID == "chromium")
            chromium = row;
    auto registry = std::make_shared<ScriptApplicationRegistry>();
    auto bridge = std::make_shared<TextBridge>(
        tabListText(static_cast<int>(state.range(1)), static_cast<int>(state.range(0))));
    auto browser = std::make_shared<BridgeBrowser>("Chromium", 4242, bridge, nullptr);
    registry->add("Chromium", browser);
    InterpretedScriptEngine engine(registry, std::make_shared<SystemClock>());
    std::string script = BrowserScripts::listing(chromium);
    std::size_t count = 0;
    for (auto _ : state) {
        // Every listing follows a change the extension reported: the list is read again.
        browser->markChanged();
        auto result = engine.execute(script, 5);
        auto items =
            BrowserTabEnumerator::tabItems(result, chromium.bundleID, "Chromium", 4242, nullptr);
        BrowserTabEnumerator::applyBrowserIcons(items, engine.pageIconAddresses("Chromium"));
        count = items.size();
        benchmark::DoNotOptimize(items.data());
    }
    state.counters["tabs"] = static_cast<double>(count);
}
BENCHMARK(BM_ListThousandTabsOverTheBridge)
    ->Args({1000, 1})
    ->Args({1000, 10})
    ->Args({100, 2})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantlo

BENCHMARK_MAIN();
