#pragma once
// All windows of one application (the file manager's), shown as one row.

#include <string>
#include <vector>

#include "model/WindowItem.h"

namespace vantlo {

struct WindowGroupItem {
    Uuid id;
    std::string appBundleID;
    std::string appName;
    ImageRef appIcon;
    std::vector<WindowItem> windows;  // never empty

    bool operator==(const WindowGroupItem& other) const { return id == other.id; }
};

}  // namespace vantlo
