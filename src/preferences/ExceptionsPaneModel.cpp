#include "preferences/ExceptionsPaneModel.h"

#include <algorithm>

#include "discovery/IgnoreFilter.h"
#include "preferences/PatternCheck.h"

namespace vantlo {
namespace {

void removeAll(std::vector<std::string>& items, const std::string& text) {
    items.erase(std::remove(items.begin(), items.end(), text), items.end());
}

}  // namespace

ExceptionsPaneModel::ExceptionsPaneModel(std::function<void()> changed)
    : changed_(std::move(changed)), bundleIDs_(IgnoreFilter::ignoredAppBundleIDs()) {
    appNames_.items = IgnoreFilter::ignoredAppRegex();
    windowTitles_.items = IgnoreFilter::ignoredWindowRegex();
}

std::string ExceptionsPaneModel::trimmed(std::string_view text) {
    auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

bool ExceptionsPaneModel::addBundleID(const std::string& bundleID) {
    if (bundleID.empty() ||
        std::find(bundleIDs_.begin(), bundleIDs_.end(), bundleID) != bundleIDs_.end())
        return false;
    bundleIDs_.push_back(bundleID);
    IgnoreFilter::setIgnoredAppBundleIDs(bundleIDs_);
    notify();
    return true;
}

void ExceptionsPaneModel::removeBundleID(const std::string& bundleID) {
    removeAll(bundleIDs_, bundleID);
    IgnoreFilter::setIgnoredAppBundleIDs(bundleIDs_);
    notify();
}

const std::vector<std::string>& ExceptionsPaneModel::patterns(PatternList list) const {
    return slot(list).items;
}

const std::string& ExceptionsPaneModel::pending(PatternList list) const {
    return slot(list).pending;
}

void ExceptionsPaneModel::setPending(PatternList list, std::string text) {
    auto& patterns = slot(list);
    patterns.pending = std::move(text);
    patterns.problem.reset();
}

bool ExceptionsPaneModel::canAdd(PatternList list) const {
    return !trimmed(slot(list).pending).empty();
}

bool ExceptionsPaneModel::add(PatternList list) {
    auto& patterns = slot(list);
    std::string pattern = trimmed(patterns.pending);
    if (pattern.empty())
        return false;
    patterns.problem = PatternCheck::problem(pattern);
    if (patterns.problem) {
        notify();
        return false;
    }
    patterns.items.push_back(pattern);
    patterns.pending.clear();
    store(list);
    notify();
    return true;
}

const std::optional<std::string>& ExceptionsPaneModel::problem(PatternList list) const {
    return slot(list).problem;
}

void ExceptionsPaneModel::removePattern(PatternList list, const std::string& pattern) {
    removeAll(slot(list).items, pattern);
    store(list);
    notify();
}

ExceptionsPaneModel::Patterns& ExceptionsPaneModel::slot(PatternList list) {
    return list == PatternList::appNames ? appNames_ : windowTitles_;
}

const ExceptionsPaneModel::Patterns& ExceptionsPaneModel::slot(PatternList list) const {
    return list == PatternList::appNames ? appNames_ : windowTitles_;
}

void ExceptionsPaneModel::store(PatternList list) {
    if (list == PatternList::appNames)
        IgnoreFilter::setIgnoredAppRegex(appNames_.items);
    else
        IgnoreFilter::setIgnoredWindowRegex(windowTitles_.items);
}

void ExceptionsPaneModel::notify() {
    if (changed_)
        changed_();
}

}  // namespace vantlo
