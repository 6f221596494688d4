#include "browser/BrowserTabCache.h"

#include <algorithm>

#include "browser/BrowserTabEnumerator.h"
#include "discovery/MRUStore.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

std::mutex sharedMutex;
std::shared_ptr<BrowserTabCache> sharedInstance;

std::vector<TabItem> enumerateTabs(const std::optional<std::string>& bundleID) {
    constexpr double timeout = BrowserTabEnumerator::kDefaultScriptTimeout;
    if (bundleID)
        return BrowserTabEnumerator::enumerate(*bundleID, timeout);
    return BrowserTabEnumerator::enumerate(BrowserTabEnumerator::browsers(), timeout);
}

// The tab the user is looking at in the frontmost browser ranks as just used.
void markActiveTab(const std::vector<TabItem>& found) {
    if (found.empty())
        return;
    auto frontmost = platform().workspace->frontmostApplication();
    if (!frontmost || !BrowserTabEnumerator::isSupportedBrowser(frontmost->bundleIdentifier))
        return;
    auto active = std::find_if(found.begin(), found.end(), [&](const TabItem& tab) {
        return tab.browserBundleID == *frontmost->bundleIdentifier && tab.isActiveInFrontWindow;
    });
    if (active != found.end())
        MRUStore::shared().touch(active->mruKey());
}

}  // namespace

BrowserTabCache& BrowserTabCache::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedInstance)
        sharedInstance = std::make_shared<BrowserTabCache>();
    return *sharedInstance;
}

void BrowserTabCache::resetShared() {
    std::lock_guard lock(sharedMutex);
    sharedInstance.reset();
}

std::vector<TabItem> BrowserTabCache::tabs() const {
    std::lock_guard lock(mutex_);
    return tabs_;
}

std::optional<double> BrowserTabCache::refreshedAt() const {
    std::lock_guard lock(mutex_);
    return refreshedAt_;
}

bool BrowserTabCache::isRefreshing() const {
    std::lock_guard lock(mutex_);
    return refreshing_;
}

void BrowserTabCache::refreshAsync(std::optional<std::string> bundleID, Completion completion) {
    {
        std::lock_guard lock(mutex_);
        if (completion)
            completions_.push_back(std::move(completion));
        if (refreshing_)
            return;
        refreshing_ = true;
    }
    platform().dispatch->global(QualityOfService::userInitiated,
                                [weak = weak_from_this(), bundleID = std::move(bundleID)] {
                                    auto found = enumerateTabs(bundleID);
                                    markActiveTab(found);
                                    if (auto self = weak.lock())
                                        self->finishRefresh(bundleID, std::move(found));
                                });
}

void BrowserTabCache::finishRefresh(const std::optional<std::string>& bundleID,
                                    std::vector<TabItem> found) {
    std::vector<Completion> waiting;
    {
        std::lock_guard lock(mutex_);
        storeLocked(bundleID, std::move(found));
        refreshing_ = false;
        waiting.swap(completions_);
    }
    if (waiting.empty())
        return;
    platform().dispatch->async([waiting = std::move(waiting)] {
        for (const auto& callback : waiting)
            callback();
    });
}

void BrowserTabCache::refreshForegroundBrowserNow() {
    if (!platform().facts.summonWaitsForFrontmostBrowser)
        return;
    auto frontmost = platform().workspace->frontmostApplication();
    if (!frontmost || !BrowserTabEnumerator::isSupportedBrowser(frontmost->bundleIdentifier))
        return;
    auto found = BrowserTabEnumerator::enumerate(*frontmost->bundleIdentifier,
                                                 BrowserTabEnumerator::kDefaultScriptTimeout);
    if (found.empty())
        return;
    markActiveTab(found);
    std::lock_guard lock(mutex_);
    storeLocked(frontmost->bundleIdentifier, std::move(found));
}

void BrowserTabCache::storeLocked(const std::optional<std::string>& bundleID,
                                  std::vector<TabItem> found) {
    if (!found.empty())
        refreshedAt_ = platform().clock->now();
    if (!bundleID) {
        tabs_ = std::move(found);
        return;
    }
    std::erase_if(tabs_, [&](const TabItem& tab) { return tab.browserBundleID == *bundleID; });
    tabs_.insert(tabs_.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
}

}  // namespace vantlo
