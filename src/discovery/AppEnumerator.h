#pragma once
// Finds the installed, user-launchable applications: every application bundle (on Linux, desktop
// entry) in the platform's application folders, plus a few bundles that live elsewhere, one item
// per bundle identifier, sorted by name.

#include <optional>
#include <string>
#include <vector>

#include "model/AppItem.h"

namespace vantlo::AppEnumerator {

// A full, synchronous scan of the scan roots (recursively, not into bundles), then the extra
// bundles. The first bundle met with an identifier wins; the list is sorted by name, stable,
// comparing as the user's language does with case ignored. Slow: never on the main thread.
std::vector<AppItem> scan();

// The item for the bundle at `path`; nothing when it does not open or has no identifier. Its
// name is the display name, else the bundle name, else the file name without extension.
std::optional<AppItem> makeItem(const std::string& path);

// Whether `path` is an application bundle lying directly in one of the scan roots, or one of the
// extra bundles. A bundle in a sub-folder of a root is not.
bool isUserLaunchableAppURL(const std::string& path);

// Sorts by name as `scan` does (exposed for tests and for callers that merge lists).
void sortByName(std::vector<AppItem>& apps);

}  // namespace vantlo::AppEnumerator
