#pragma once
// The last known tabs of all supported browsers, refreshed in the background (one enumeration at
// a time, later requests joining it) or, for the browser in front, synchronously. Each refresh
// also marks the frontmost browser's active tab as recently used.

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "model/TabItem.h"

namespace vantlo {

class BrowserTabCache : public std::enable_shared_from_this<BrowserTabCache> {
  public:
    using Completion = std::function<void()>;

    static BrowserTabCache& shared();
    // Drops the shared cache; a refresh under way for it stores nothing and calls back no one.
    static void resetShared();

    // A copy of the cached tabs, grouped by browser in the order they were stored.
    std::vector<TabItem> tabs() const;
    // When the last refresh that found at least one tab stored it.
    std::optional<double> refreshedAt() const;
    bool isRefreshing() const;

    // Refreshes one browser's tabs (all browsers when `bundleID` is absent) on a background
    // queue; `completion` runs on the main queue once the refresh it started or joined stored its
    // result. A request made while a refresh runs joins it, whatever browser it asked for.
    void refreshAsync(std::optional<std::string> bundleID, Completion completion = {});
    // Refreshes the frontmost application's tabs on this thread when it is a supported browser
    // and the platform lets a summon wait for it (see PlatformFacts); does nothing otherwise.
    // An empty answer leaves the cache as it was.
    void refreshForegroundBrowserNow();

  private:
    void finishRefresh(const std::optional<std::string>& bundleID, std::vector<TabItem> found);
    // Puts `found` in place of the tabs of `bundleID` (of every browser when absent). Under mutex_.
    void storeLocked(const std::optional<std::string>& bundleID, std::vector<TabItem> found);

    mutable std::mutex mutex_;
    std::vector<TabItem> tabs_;
    std::optional<double> refreshedAt_;
    bool refreshing_ = false;
    std::vector<Completion> completions_;
};

}  // namespace vantlo
