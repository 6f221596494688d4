// Feeds arbitrary patterns and texts to the user's exclusions, which hold ICU regular expressions
// typed into the preferences or edited in the settings file. The input is lines: the first three
// are an application's bundle identifier, its name and a window title; then "a:" lines are
// application-name patterns, "w:" lines window-title patterns and "b:" lines ignored bundle
// identifiers. Whatever the input: no crash, no runaway match; a list matches when one of its
// patterns does; a hidden application hides its windows; a listed bundle identifier is hidden.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discovery/IgnoreFilter.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlatform.h"

using namespace vantlo;

namespace {

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        auto end = text.find('\n');
        out.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzPlatform fake;
    fake.reset();
    auto input = lines({reinterpret_cast<const char*>(data), size});
    input.resize(std::max<std::size_t>(input.size(), 3));
    const std::string bundleID = input[0], appName = input[1], title = input[2];
    std::vector<std::string> appPatterns, windowPatterns, bundleIDs;
    for (std::size_t i = 3; i < input.size(); ++i) {
        std::string_view line = input[i];
        if (line.starts_with("a:"))
            appPatterns.emplace_back(line.substr(2));
        else if (line.starts_with("w:"))
            windowPatterns.emplace_back(line.substr(2));
        else if (line.starts_with("b:"))
            bundleIDs.emplace_back(line.substr(2));
    }
    IgnoreFilter::setIgnoredAppRegex(appPatterns);
    IgnoreFilter::setIgnoredWindowRegex(windowPatterns);
    IgnoreFilter::setIgnoredAppBundleIDs(bundleIDs);
    FUZZ_CHECK(IgnoreFilter::ignoredAppRegex() == appPatterns);
    FUZZ_CHECK(IgnoreFilter::ignoredWindowRegex() == windowPatterns);
    FUZZ_CHECK(IgnoreFilter::ignoredAppBundleIDs() == bundleIDs);

    bool anyApp = false;
    for (const auto& pattern : appPatterns)
        anyApp = anyApp || IgnoreFilter::anyPatternMatches({pattern}, appName);
    FUZZ_CHECK(IgnoreFilter::anyPatternMatches(appPatterns, appName) == anyApp);

    bool app = IgnoreFilter::shouldIgnoreApp(bundleID, appName);
    bool listed = std::find(bundleIDs.begin(), bundleIDs.end(), bundleID) != bundleIDs.end();
    FUZZ_CHECK(app == (listed || anyApp));
    FUZZ_CHECK(IgnoreFilter::shouldIgnoreApp(std::nullopt, appName) == anyApp);

    bool window = IgnoreFilter::shouldIgnoreWindow(bundleID, appName, title);
    bool titleMatches = !title.empty() && IgnoreFilter::anyPatternMatches(windowPatterns, title);
    FUZZ_CHECK(window == (app || titleMatches));
    return 0;
}
