#pragma once
// All tabs of one browser, shown as one row.

#include <string>
#include <vector>

#include "model/TabItem.h"

namespace vantlo {

struct TabGroupItem {
    Uuid id;
    std::string browserBundleID;
    std::string appName;
    ImageRef appIcon;
    std::vector<TabItem> tabs;  // never empty

    // The selected tab of the browser's front window, else the first tab.
    const TabItem& activeTab() const;

    bool operator==(const TabGroupItem& other) const { return id == other.id; }
};

}  // namespace vantlo
