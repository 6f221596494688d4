#pragma once
// The user's exclusions: applications hidden by bundle identifier or by a name pattern, and
// windows hidden by a title pattern. Kept in the user defaults; patterns are ICU regular
// expressions, matched case-insensitively anywhere in the text. A pattern that is empty or does
// not compile hides nothing and reports nothing; one that runs out of time matching (it
// backtracks without end) hides nothing from then on, with one log line, until its list is saved
// again.

#include <optional>
#include <string>
#include <vector>

namespace vantlo {

class IgnoreFilter {
  public:
    static constexpr const char* kAppBundleIDsKey = "Vantlo.IgnoredAppBundleIDs";
    static constexpr const char* kAppRegexKey = "Vantlo.IgnoredAppRegex";
    static constexpr const char* kWindowRegexKey = "Vantlo.IgnoredWindowRegex";
    static constexpr const char* kChangedNotification = "Vantlo.ignoreFilterChanged";

    // The stored list, or the platform's default list while the user has saved none.
    static std::vector<std::string> ignoredAppBundleIDs();
    static std::vector<std::string> ignoredAppRegex();
    static std::vector<std::string> ignoredWindowRegex();
    // Each setter stores the whole list, then posts kChangedNotification.
    static void setIgnoredAppBundleIDs(const std::vector<std::string>& bundleIDs);
    static void setIgnoredAppRegex(const std::vector<std::string>& patterns);
    static void setIgnoredWindowRegex(const std::vector<std::string>& patterns);

    static bool shouldIgnoreApp(const std::optional<std::string>& bundleID,
                                const std::string& name);
    // A window is hidden with its application, or when its non-empty title matches a pattern.
    static bool shouldIgnoreWindow(const std::optional<std::string>& appBundleID,
                                   const std::string& appName, const std::string& title);

    // Whether any usable pattern matches somewhere in `text`.
    static bool anyPatternMatches(const std::vector<std::string>& patterns,
                                  const std::string& text);
};

}  // namespace vantlo
