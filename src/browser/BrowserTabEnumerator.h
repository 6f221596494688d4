#pragma once
// Lists the tabs of the supported browsers (by script, else through Accessibility), selects and
// closes tabs, and owns the table of supported browsers and the script runner used for them.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/AXTabCandidate.h"
#include "browser/RunningBrowser.h"
#include "model/TabItem.h"
#include "platform/PlatformFacts.h"
#include "platform/ScriptValue.h"

namespace vantlo::BrowserTabEnumerator {

using Spec = BrowserIdentity;
using Family = BrowserFamily;

// How long one script may take before it counts as failed. A browser that never answers must
// not hold a refresh (and everyone waiting on it) forever.
inline constexpr double kDefaultScriptTimeout = 5.0;
// Bounds of the Accessibility walk, so a page with a huge tree cannot stall enumeration.
inline constexpr int kMaxWalkSteps = 1500;
inline constexpr int kWindowSearchDepth = 8;
inline constexpr int kTabGroupSearchDepth = 4;

// ---- the table of supported browsers
// The supported browsers in lookup order, from the platform facts.
const std::vector<Spec>& browsers();
const Spec* spec(std::string_view bundleID);
bool isSupportedBrowser(const std::optional<std::string>& bundleID);

// ---- running browsers
std::optional<RunningBrowser> runningBrowser(const Spec& spec);
std::optional<RunningBrowser> runningBrowser(std::string_view bundleID);
// Names of the running supported browsers, in table order.
std::vector<std::string> runningBrowserNames();

// ---- listing
// Tabs of the given browsers by script; when no browser answered with a tab, by Accessibility.
// Each script may take up to `timeout` seconds (the default when not positive).
std::vector<TabItem> enumerate(const std::vector<Spec>& specs, double timeout);
std::vector<TabItem> enumerate(std::string_view bundleID, double timeout);
// Runs a script; nothing when it does not compile, fails, or takes longer than `timeout`.
std::optional<ScriptValue> executeAppleScript(const std::string& source,
                                              double timeout = kDefaultScriptTimeout);
// Tabs from a listing script's result of {window, tab, active, title, address} records.
std::vector<TabItem> tabItems(const std::optional<ScriptValue>& descriptor,
                              const std::string& browserBundleID, const std::string& browserAppName,
                              Pid browserPID, const ImageRef& appIcon);
// The "vantlo-favicon" address of a page's icon; empty when the page has no host.
std::string faviconURL(std::string_view pageURL);
// The same address, carrying also the icon the browser itself shows for the page (when
// `isLoadablePageIcon`; any other is left out) as the first one to try.
std::string faviconURL(std::string_view pageURL, std::string_view browserIconURL);
// Longest "data:" page icon taken; a page icon is a few kilobytes at most.
inline constexpr std::size_t kMaxDataIconLength = 32 * 1024;
// Whether a page icon's address can be loaded: an http(s) address with a host, or a "data:"
// address of at most kMaxDataIconLength characters.
bool isLoadablePageIcon(std::string_view address);
// Gives each tab the icon its browser reported for its address (`icons`: page -> icon).
void applyBrowserIcons(std::vector<TabItem>& tabs, const std::map<std::string, std::string>& icons);

// ---- Accessibility fallback
// Control titles that are never tabs (lower case); titles beginning with "close " are not either.
const std::vector<std::string>& ignoredTabTitles();
std::vector<AXTabCandidate> tabs(const AXElementRef& window);
// Breadth-first descendants of `root` (not the root itself) down to `maxDepth`, at most
// kMaxWalkSteps elements visited.
std::vector<AXElementRef> descendants(const AXElementRef& root, int maxDepth);

// ---- selection and closing
// Selects the tab and brings its window and browser forward.
void activate(const TabItem& tab);
// Raises the browser window that holds the tab, again 0.06 s later (the browser may still be
// reordering its windows when first asked).
void revealBrowserWindow(const TabItem& tab);
// Closes the tab at its remembered position; does nothing for a browser not in the table.
void closeTab(const TabItem& tab);

}  // namespace vantlo::BrowserTabEnumerator
