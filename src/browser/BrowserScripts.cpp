#include "browser/BrowserScripts.h"

#include <algorithm>

namespace vantlo::BrowserScripts {
namespace {

constexpr const char* kChromiumListingTail = R"("
    set tabItems to {}
    set windowCount to count of windows
    repeat with wIndex from 1 to windowCount
        set targetWindow to window wIndex
        set activeIndex to 0
        try
            set activeIndex to active tab index of targetWindow
        end try
        set tabCount to count of tabs of targetWindow
        repeat with tIndex from 1 to tabCount
            set targetTab to tab tIndex of targetWindow
            set tabTitle to ""
            set tabURL to ""
            try
                set tabTitle to title of targetTab as text
            end try
            try
                set tabURL to URL of targetTab as text
            end try
            set end of tabItems to {wIndex as integer, tIndex as integer, (tIndex = activeIndex), tabTitle, tabURL}
        end repeat
    end repeat
    return tabItems
end tell)";

constexpr const char* kSafariListing = R"(tell application "Safari"
    set tabItems to {}
    set windowCount to count of windows
    repeat with wIndex from 1 to windowCount
        set targetWindow to window wIndex
        set tabCount to count of tabs of targetWindow
        repeat with tIndex from 1 to tabCount
            set targetTab to tab tIndex of targetWindow
            set tabTitle to ""
            set tabURL to ""
            set tabActive to false
            try
                set tabTitle to name of targetTab as text
            end try
            try
                set tabURL to URL of targetTab as text
            end try
            try
                set tabActive to targetTab is current tab of targetWindow
            end try
            set end of tabItems to {wIndex as integer, tIndex as integer, tabActive, tabTitle, tabURL}
        end repeat
    end repeat
    return tabItems
end tell)";

constexpr const char* kChromiumSelectionBody = R"(

    try
        if (count of windows) >= fallbackWindowIndex then
            set targetWindow to window fallbackWindowIndex
            if (count of tabs of targetWindow) >= fallbackTabIndex then
                set active tab index of targetWindow to fallbackTabIndex
                set index of targetWindow to 1
                activate
                return true
            end if
        end if
    end try

    repeat with wIndex from 1 to count of windows
        set targetWindow to window wIndex
        repeat with tIndex from 1 to count of tabs of targetWindow
            set targetTab to tab tIndex of targetWindow
            set tabURL to ""
            set tabTitle to ""
            try
                set tabURL to URL of targetTab as text
            end try
            try
                set tabTitle to title of targetTab as text
            end try
            if (targetURL is not "" and tabURL is targetURL) or (targetURL is "" and targetTitle is not "" and tabTitle is targetTitle) then
                set active tab index of targetWindow to tIndex
                set index of targetWindow to 1
                activate
                return true
            end if
        end repeat
    end repeat

    return false
end tell)";

constexpr const char* kSafariSelectionBody = R"(

    repeat with wIndex from 1 to count of windows
        set targetWindow to window wIndex
        repeat with tIndex from 1 to count of tabs of targetWindow
            set targetTab to tab tIndex of targetWindow
            set tabURL to ""
            set tabTitle to ""
            try
                set tabURL to URL of targetTab as text
            end try
            try
                set tabTitle to name of targetTab as text
            end try
            if (targetURL is not "" and tabURL is targetURL) or (targetURL is "" and targetTitle is not "" and tabTitle is targetTitle) then
                set current tab of targetWindow to targetTab
                set index of targetWindow to 1
                activate
                return true
            end if
        end repeat
    end repeat

    if (count of windows) >= fallbackWindowIndex then
        set targetWindow to window fallbackWindowIndex
        if (count of tabs of targetWindow) >= fallbackTabIndex then
            set current tab of targetWindow to tab fallbackTabIndex of targetWindow
            set index of targetWindow to 1
            activate
            return true
        end if
    end if
    return false
end tell)";

}  // namespace

std::string quoted(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size() + 2);
    escaped += '"';
    for (char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    escaped += '"';
    return escaped;
}

std::string listing(const BrowserIdentity& browser) {
    if (browser.family == BrowserFamily::safari)
        return kSafariListing;
    return "tell application \"" + browser.applicationName + kChromiumListingTail;
}

std::string selection(const BrowserIdentity& browser, const TabItem& tab) {
    std::string script = "tell application \"" + browser.applicationName;
    script += "\"\n    set targetURL to " + quoted(tab.url);
    script += "\n    set targetTitle to " + quoted(tab.title);
    script += "\n    set fallbackWindowIndex to " +
              std::to_string(std::max<std::int64_t>(tab.windowIndex, 1));
    script +=
        "\n    set fallbackTabIndex to " + std::to_string(std::max<std::int64_t>(tab.tabIndex, 1));
    script +=
        browser.family == BrowserFamily::safari ? kSafariSelectionBody : kChromiumSelectionBody;
    return script;
}

std::string close(const BrowserIdentity& browser, const TabItem& tab) {
    return "tell application \"" + browser.applicationName + "\"\n    try\n        close tab " +
           std::to_string(tab.tabIndex) + " of window " + std::to_string(tab.windowIndex) +
           "\n    end try\nend tell";
}

}  // namespace vantlo::BrowserScripts
