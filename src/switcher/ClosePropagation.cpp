#include "switcher/ClosePropagation.h"

#include "browser/BrowserTabCache.h"
#include "discovery/AppActivator.h"
#include "discovery/WindowEnumeratorCache.h"
#include "platform/GuardedBy.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

bool closesApplication(const SwitchItem& item) {
    auto kind = item.kind();
    return kind == SwitchItem::Kind::tabGroup || kind == SwitchItem::Kind::windowGroup ||
           kind == SwitchItem::Kind::app;
}

}  // namespace

std::shared_ptr<ClosePropagation> ClosePropagation::create(BuildItems buildItems) {
    return std::shared_ptr<ClosePropagation>(new ClosePropagation(std::move(buildItems)));
}

ClosePropagation::ClosePropagation(BuildItems buildItems) : buildItems_(std::move(buildItems)) {}

bool ClosePropagation::isRecentlyClosedApp(const std::string& bundleID) {
    double now = platform().clock->now();
    std::erase_if(recentlyClosedAppBundles_, [now](const auto& entry) {
        return now - entry.second > kRecentlyClosedAppWindow;
    });
    return recentlyClosedAppBundles_.count(bundleID) > 0;
}

void ClosePropagation::schedule(const std::shared_ptr<SwitcherShowing>& showing,
                                const SwitchItem& closedItem) {
    std::weak_ptr<SwitcherShowing> weakShowing = showing;
    for (double delay : kRefreshDelays) {
        platform().dispatch->asyncAfter(
            delay, guardedBy(weak_from_this(), [weakShowing, closedItem](ClosePropagation& self) {
                if (!weakShowing.expired())
                    self.refresh(weakShowing, closedItem);
            }));
    }
}

void ClosePropagation::refresh(std::weak_ptr<SwitcherShowing> showing,
                               const SwitchItem& closedItem) {
    auto rebuildIfShowing =
        guardedBy(weak_from_this(), [showing, closedItem](ClosePropagation& self) {
            if (auto current = showing.lock())
                self.rebuild(*current, closedItem);
        });
    WindowEnumeratorCache::shared().refreshAsync([rebuildIfShowing] {
        BrowserTabCache::shared().refreshAsync(std::nullopt, rebuildIfShowing);
    });
}

void ClosePropagation::rebuild(SwitcherShowing& showing, const SwitchItem& closedItem) {
    auto items = buildItems_();
    auto bundleID = closedItem.bundleID();
    if (closesApplication(closedItem) && bundleID && !AppActivator::isRunningUserApp(*bundleID)) {
        recentlyClosedAppBundles_[*bundleID] = platform().clock->now();
        // Its windows, tabs, groups and application row go at once.
        std::erase_if(items, [&](const SwitchItem& item) { return item.bundleID() == bundleID; });
    }
    showing.model()->updateItems(std::move(items));
}

}  // namespace vantlo
