#include "model/TabGroupItem.h"

#include <algorithm>

namespace vantlo {

const TabItem& TabGroupItem::activeTab() const {
    auto active = std::find_if(tabs.begin(), tabs.end(),
                               [](const TabItem& tab) { return tab.isActiveInFrontWindow; });
    if (active != tabs.end())
        return *active;
    if (!tabs.empty())
        return tabs.front();
    // Groups are never built empty; an empty one still answers with a blank tab, not a crash.
    static const TabItem kNoTab;
    return kNoTab;
}

}  // namespace vantlo
