#pragma once
// Turns the cached windows, tabs and applications into the one recency-ordered list a showing of
// the panel works on: windows, browser tab groups and tabs, the file manager's window group,
// running applications without a row and, when the setting asks, installed applications.
// Reads only caches, so it runs on the main thread at every summon and refresh.

#include <functional>
#include <string>
#include <vector>

#include "model/SwitchItem.h"

namespace vantlo {

class SwitchListBuilder {
  public:
    // Whether an application was quit from the panel moments ago and should stay out of the list.
    using RecentlyClosedTest = std::function<bool(const std::string& bundleID)>;

    explicit SwitchListBuilder(RecentlyClosedTest isRecentlyClosedApp)
        : isRecentlyClosedApp_(std::move(isRecentlyClosedApp)) {}

    std::vector<SwitchItem> build() const;

  private:
    RecentlyClosedTest isRecentlyClosedApp_;
};

}  // namespace vantlo
