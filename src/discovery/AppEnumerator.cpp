#include "discovery/AppEnumerator.h"

#include <unicode/coll.h>
#include <unicode/locid.h>

#include <algorithm>
#include <memory>
#include <set>

#include "platform/Platform.h"

namespace vantlo::AppEnumerator {
namespace {

// The path with empty and "." components removed and ".." resolved, without a trailing slash.
std::string standardized(const std::string& path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        auto end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        auto part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    std::string result;
    for (const auto& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

std::string lastComponent(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string extensionOf(const std::string& path) {
    auto name = lastComponent(path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}

std::string stem(const std::string& path) {
    auto name = lastComponent(path);
    auto dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::optional<std::string> nonEmptyString(const PropertyDictionary& info, const char* key) {
    auto it = info.find(key);
    if (it == info.end())
        return std::nullopt;
    auto text = it->second.asString();
    if (!text || text->empty())
        return std::nullopt;
    return text;
}

// The user's locale; the POSIX locale ("C") states no language, and its collation orders by
// code point with case significant, so the root collation stands in for it.
icu::Locale collationLocale() {
    icu::Locale locale = icu::Locale::getDefault();
    if (std::string(locale.getVariant()) == "POSIX")
        return icu::Locale::getRoot();
    return locale;
}

class Scan {
  public:
    void addRoot(const std::string& root) {
        auto& files = *platform().fileSystem;
        if (!files.exists(root) || !files.isDirectory(root))
            return;
        const auto& extension = platform().facts.appBundleExtension;
        files.enumerate(root, [&](const DirectoryEntry& entry) {
            if (extensionOf(entry.path) != extension)
                return true;
            addBundle(entry.path);
            return false;
        });
    }

    void addBundle(const std::string& path) {
        auto item = makeItem(path);
        if (!item || !seen_.insert(item->bundleID).second)
            return;
        items_.push_back(std::move(*item));
    }

    std::vector<AppItem> take() { return std::move(items_); }

  private:
    std::vector<AppItem> items_;
    std::set<std::string> seen_;
};

}  // namespace

std::optional<AppItem> makeItem(const std::string& path) {
    auto& p = platform();
    auto bundle = p.appBundles->open(path);
    if (!bundle || !bundle->identifier || bundle->identifier->empty())
        return std::nullopt;
    AppItem item;
    item.id = Uuid::random();
    item.bundleID = *bundle->identifier;
    item.name = nonEmptyString(bundle->info, BundleKeys::displayName)
                    .value_or(nonEmptyString(bundle->info, BundleKeys::name).value_or(stem(path)));
    item.icon = p.workspace->iconForFile(path);
    item.path = path;
    return item;
}

std::vector<AppItem> scan() {
    const auto& facts = platform().facts;
    Scan scan;
    for (const auto& root : facts.appScanRoots)
        scan.addRoot(root);
    for (const auto& path : facts.extraAppBundles)
        scan.addBundle(path);
    auto items = scan.take();
    sortByName(items);
    return items;
}

void sortByName(std::vector<AppItem>& apps) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(
        icu::Collator::createInstance(collationLocale(), status));
    if (U_FAILURE(status) || !collator) {
        // Without collation data, byte order still gives a stable, predictable list.
        std::stable_sort(apps.begin(), apps.end(),
                         [](const AppItem& a, const AppItem& b) { return a.name < b.name; });
        return;
    }
    // Secondary strength: accents count, case does not ("safari" equals "Safari").
    collator->setStrength(icu::Collator::SECONDARY);
    std::stable_sort(apps.begin(), apps.end(), [&](const AppItem& a, const AppItem& b) {
        UErrorCode compareStatus = U_ZERO_ERROR;
        return collator->compareUTF8(a.name, b.name, compareStatus) == UCOL_LESS;
    });
}

bool isUserLaunchableAppURL(const std::string& rawPath) {
    const auto& facts = platform().facts;
    auto path = standardized(rawPath);
    if (extensionOf(path) != facts.appBundleExtension)
        return false;
    for (const auto& extra : facts.extraAppBundles) {
        if (standardized(extra) == path)
            return true;
    }
    // Every root is asked, not only the first that prefixes the path: roots nest
    // ("/Applications/Utilities" inside "/Applications"), and a bundle directly in the inner one
    // is as launchable as one in the outer.
    for (const auto& root : facts.appScanRoots) {
        auto prefix = standardized(root);
        if (prefix != "/")
            prefix += "/";
        bool below = path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0;
        if (below && path.find('/', prefix.size()) == std::string::npos)
            return true;
    }
    return false;
}

}  // namespace vantlo::AppEnumerator
