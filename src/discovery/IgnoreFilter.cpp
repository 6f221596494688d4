#include "discovery/IgnoreFilter.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

#include "platform/Platform.h"

namespace vantlo {
namespace {

// Bounds the work one pattern may do on one text (ICU counts in steps of its match engine, on
// the order of milliseconds), so a runaway pattern cannot stall the list.
constexpr std::int32_t kMatchTimeLimit = 50;

// Compiled patterns, shared by every match (a summon matches each pattern against every window).
// A pattern that once runs out of time is set aside, with one log line, until the user saves the
// list again: otherwise one runaway pattern would cost its whole time limit per window at every
// summon.
class PatternCache {
  public:
    // The compiled pattern, or nothing when it does not compile or has run away.
    std::shared_ptr<const icu::RegexPattern> find(const std::string& pattern) {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(pattern);
        if (it != entries_.end())
            return it->second;
        // The lists are short; a cache grown past any real list is stale.
        if (entries_.size() >= kMaxEntries)
            entries_.clear();
        return entries_[pattern] = compile(pattern);
    }

    void setAsideRunaway(const std::string& pattern) {
        {
            std::lock_guard lock(mutex_);
            auto it = entries_.find(pattern);
            if (it == entries_.end() || !it->second)
                return;
            it->second = nullptr;
        }
        if (hasPlatform() && platform().log)
            platform().log->write("[Vantlo] Ignore pattern \"" + pattern +
                                  "\" takes too long to match and is skipped until the list is "
                                  "saved again.");
    }

    void clear() {
        std::lock_guard lock(mutex_);
        entries_.clear();
    }

  private:
    static constexpr std::size_t kMaxEntries = 256;

    static std::shared_ptr<const icu::RegexPattern> compile(const std::string& pattern) {
        UErrorCode status = U_ZERO_ERROR;
        UParseError parseError;
        std::shared_ptr<const icu::RegexPattern> compiled(icu::RegexPattern::compile(
            icu::UnicodeString::fromUTF8(pattern), UREGEX_CASE_INSENSITIVE, parseError, status));
        return U_FAILURE(status) ? nullptr : compiled;
    }

    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const icu::RegexPattern>> entries_;
};

PatternCache& patternCache() {
    static PatternCache cache;
    return cache;
}

bool patternMatches(const std::string& pattern, const icu::UnicodeString& text) {
    auto compiled = patternCache().find(pattern);
    if (!compiled)
        return false;
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(text, status));
    if (U_FAILURE(status) || !matcher)
        return false;
    matcher->setTimeLimit(kMatchTimeLimit, status);
    bool found = matcher->find(status);
    if (status == U_REGEX_TIME_OUT)
        patternCache().setAsideRunaway(pattern);
    return U_SUCCESS(status) && found;
}

std::vector<std::string> storedList(const char* key) {
    return platform().defaults->stringArray(key).value_or(std::vector<std::string>{});
}

void storeList(const char* key, const std::vector<std::string>& values) {
    PropertyArray array(values.begin(), values.end());
    platform().defaults->set(key, std::move(array));
    // A saved list gives patterns set aside for running away another chance.
    patternCache().clear();
    platform().notifications->post(IgnoreFilter::kChangedNotification);
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
