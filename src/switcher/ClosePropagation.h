#pragma once
// What follows a close from the panel: the list is rebuilt 0.35, 1.5 and 2.5 seconds later,
// while the showing it was closed in lasts, so rows of closed windows, tabs and applications go
// away as the system catches up; an application that is gone then stays out of rebuilt lists for
// 8 seconds, while it may still be shutting down. Main thread only.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/SwitchItem.h"
#include "switcher/SwitcherShowing.h"

namespace vantlo {

class ClosePropagation : public std::enable_shared_from_this<ClosePropagation> {
  public:
    // How long an application quit from the panel stays out of the list.
    static constexpr double kRecentlyClosedAppWindow = 8.0;
    static constexpr double kRefreshDelays[] = {0.35, 1.5, 2.5};

    using BuildItems = std::function<std::vector<SwitchItem>()>;

    static std::shared_ptr<ClosePropagation> create(BuildItems buildItems);

    // Schedules the three refreshes of `showing`'s list after `closedItem` was closed; each is
    // dropped when the showing has ended by then.
    void schedule(const std::shared_ptr<SwitcherShowing>& showing, const SwitchItem& closedItem);
    // Whether the application quit from the panel less than 8 seconds ago.
    bool isRecentlyClosedApp(const std::string& bundleID);

  private:
    explicit ClosePropagation(BuildItems buildItems);
    void refresh(std::weak_ptr<SwitcherShowing> showing, const SwitchItem& closedItem);
    void rebuild(SwitcherShowing& showing, const SwitchItem& closedItem);

    BuildItems buildItems_;
    std::map<std::string, double> recentlyClosedAppBundles_;
};

}  // namespace vantlo
