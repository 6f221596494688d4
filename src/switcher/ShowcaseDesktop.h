#pragma once
// A made-up but realistic desktop for the test showing of the panel: what the panel lists by
// default, items only search reveals, and the selection asked for in the environment.

#include <optional>
#include <string>
#include <vector>

#include "model/SwitchItem.h"

namespace vantlo {

namespace ShowcaseDesktop {

// Windows, a file-manager window group, two browsers' tab groups and running applications.
std::vector<SwitchItem> defaultVisibleItems();
// Individual tabs and installed applications that are not running.
std::vector<SwitchItem> hiddenSearchOnlyItems();
// A window group of `count` windows of one application (for the long, windowed detail list).
SwitchItem largeWindowGroup(int count);
// The highlighted index from "VANTLO_TEST_SELECTION" (nothing = "middle") for a visible list
// of `visibleCount` items.
int selectedIndex(const std::optional<std::string>& selection, int visibleCount);

}  // namespace ShowcaseDesktop

}  // namespace vantlo
