#include "platform/linux/BrowserWindowMatcher.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace vantlo {
namespace {

// How far apart two outer rectangles may be (sum over the four edges, in pixels) and still be
// the same window when no title tells them apart: frames and rounding differ by a few pixels.
constexpr double kSameRectangle = 48;

double distance(const Rect& a, const Rect& b) {
    return std::abs(a.x - b.x) + std::abs(a.y - b.y) + std::abs(a.width - b.width) +
           std::abs(a.height - b.height);
}

bool exists(const std::vector<DeskWindow>& desk, std::uint32_t id) {
    return std::any_of(desk.begin(), desk.end(), [&](const DeskWindow& w) { return w.id == id; });
}

}  // namespace

bool BrowserWindowMatcher::titleShows(const std::string& windowTitle, const std::string& tabTitle) {
    if (tabTitle.empty())
        return false;
    if (windowTitle == tabTitle)
        return true;
    if (windowTitle.size() <= tabTitle.size() || windowTitle.compare(0, tabTitle.size(), tabTitle))
        return false;
    std::string_view rest = std::string_view(windowTitle).substr(tabTitle.size());
    return rest.starts_with(" - ") || rest.starts_with(" \u2014 ") || rest.starts_with(" \u2013 ");
}

std::map<std::int64_t, std::uint32_t> BrowserWindowMatcher::match(
    const std::vector<BridgeWindow>& windows, const std::vector<DeskWindow>& desk,
    std::uint32_t activeDeskWindow) {
    std::map<std::int64_t, std::uint32_t> pairs;
    std::set<std::uint32_t> taken;
    std::set<std::int64_t> alive;
    for (const auto& window : windows)
        alive.insert(window.id);
    std::erase_if(confirmed_, [&](const auto& pair) {
        return !alive.count(pair.first) || !exists(desk, pair.second);
    });
    for (const auto& window : windows) {
        if (window.focused && exists(desk, activeDeskWindow)) {
            std::erase_if(confirmed_,
                          [&](const auto& pair) { return pair.second == activeDeskWindow; });
            confirmed_[window.id] = activeDeskWindow;
        }
    }
    for (const auto& [bridgeID, deskID] : confirmed_) {
        pairs[bridgeID] = deskID;
        taken.insert(deskID);
    }
    for (const auto& window : windows) {
        if (pairs.count(window.id))
            continue;
        const BridgeTab* active = window.activeTab();
        const DeskWindow* best = nullptr;
        bool bestByTitle = false;
        double bestDistance = std::numeric_limits<double>::max();
        for (const auto& candidate : desk) {
            if (taken.count(candidate.id))
                continue;
            bool byTitle = active && titleShows(candidate.title, active->title);
            double d = distance(window.bounds, candidate.frame);
            if (!byTitle && d > kSameRectangle)
                continue;
            // A title match beats any rectangle; among equals the nearer rectangle wins.
            if ((byTitle && !bestByTitle) || (byTitle == bestByTitle && d < bestDistance)) {
                best = &candidate;
                bestByTitle = byTitle;
                bestDistance = d;
            }
        }
        if (best) {
            pairs[window.id] = best->id;
            taken.insert(best->id);
        }
    }
    return pairs;
}

}  // namespace vantlo
