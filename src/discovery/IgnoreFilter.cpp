#include "discovery/IgnoreFilter.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <memory>

#include "platform/Platform.h"

namespace vantlo {
namespace {

// Bounds the work one pattern may do on one text (ICU counts in steps of its match engine, on
// the order of milliseconds), so a runaway pattern cannot stall the list.
constexpr std::int32_t kMatchTimeLimit = 50;

std::vector<std::string> storedList(const char* key) {
    return platform().defaults->stringArray(key).value_or(std::vector<std::string>{});
}

void storeList(const char* key, const std::vector<std::string>& values) {
    PropertyArray array(values.begin(), values.end());
    platform().defaults->set(key, std::move(array));
    platform().notifications->post(IgnoreFilter::kChangedNotification);
}

bool patternMatches(const std::string& pattern, const icu::UnicodeString& text) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
        icu::UnicodeString::fromUTF8(pattern), UREGEX_CASE_INSENSITIVE, parseError, status));
    if (U_FAILURE(status) || !compiled)
        return false;
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(text, status));
    if (U_FAILURE(status) || !matcher)
        return false;
    matcher->setTimeLimit(kMatchTimeLimit, status);
    bool found = matcher->find(status);
    return U_SUCCESS(status) && found;
}

}  // namespace

std::vector<std::string> IgnoreFilter::ignoredAppBundleIDs() {
    if (auto stored = platform().defaults->stringArray(kAppBundleIDsKey))
        return *stored;
    return platform().facts.defaultIgnoredBundleIDs;
}

std::vector<std::string> IgnoreFilter::ignoredAppRegex() {
    return storedList(kAppRegexKey);
}

std::vector<std::string> IgnoreFilter::ignoredWindowRegex() {
    return storedList(kWindowRegexKey);
}

void IgnoreFilter::setIgnoredAppBundleIDs(const std::vector<std::string>& bundleIDs) {
    storeList(kAppBundleIDsKey, bundleIDs);
}

void IgnoreFilter::setIgnoredAppRegex(const std::vector<std::string>& patterns) {
    storeList(kAppRegexKey, patterns);
}

void IgnoreFilter::setIgnoredWindowRegex(const std::vector<std::string>& patterns) {
    storeList(kWindowRegexKey, patterns);
}

bool IgnoreFilter::anyPatternMatches(const std::vector<std::string>& patterns,
                                     const std::string& text) {
    if (patterns.empty())
        return false;
    const icu::UnicodeString unicodeText = icu::UnicodeString::fromUTF8(text);
    return std::any_of(patterns.begin(), patterns.end(), [&](const std::string& pattern) {
        return !pattern.empty() && patternMatches(pattern, unicodeText);
    });
}

bool IgnoreFilter::shouldIgnoreApp(const std::optional<std::string>& bundleID,
                                   const std::string& name) {
    if (bundleID) {
        auto ignored = ignoredAppBundleIDs();
        if (std::find(ignored.begin(), ignored.end(), *bundleID) != ignored.end())
            return true;
    }
    return anyPatternMatches(ignoredAppRegex(), name);
}

bool IgnoreFilter::shouldIgnoreWindow(const std::optional<std::string>& appBundleID,
                                      const std::string& appName, const std::string& title) {
    if (shouldIgnoreApp(appBundleID, appName))
        return true;
    return !title.empty() && anyPatternMatches(ignoredWindowRegex(), title);
}

}  // namespace vantlo
