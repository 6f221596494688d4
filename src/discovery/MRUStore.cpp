#include "discovery/MRUStore.h"

#include <algorithm>
#include <vector>

#include "platform/AXNames.h"
#include "platform/Platform.h"

namespace vantlo {
namespace {

std::mutex sharedMutex;
std::shared_ptr<MRUStore> sharedStore;

PropertyDictionary toDictionary(const MRUStore::TimeMap& map) {
    PropertyDictionary dictionary;
    for (const auto& [key, time] : map)
        dictionary.emplace(key, Date{time});
    return dictionary;
}

}  // namespace

MRUStore& MRUStore::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedStore)
        sharedStore = std::shared_ptr<MRUStore>(new MRUStore());
    return *sharedStore;
}

void MRUStore::resetShared() {
    std::shared_ptr<MRUStore> old;
    {
        std::lock_guard lock(sharedMutex);
        old.swap(sharedStore);
    }
}

MRUStore::MRUStore() : windowMap_(load(kWindowKey)), appMap_(load(kAppKey)) {}

MRUStore::TimeMap MRUStore::load(const std::string& key) {
    auto stored = platform().defaults->dictionary(key);
    if (!stored)
        return {};
    TimeMap map;
    for (const auto& [name, value] : *stored) {
        auto date = value.asDate();
        // Anything but a whole map of dates is ignored and replaced by the next save.
        if (!date)
            return {};
        map.emplace(name, date->secondsSince1970);
    }
    return map;
}

void MRUStore::touch(const std::string& key) {
    record(windowMap_, key, kWindowLimit);
    schedulePersist();
}

void MRUStore::touchApp(const RunningApplication& app) {
    if (!app.bundleIdentifier)
        return;
    const std::string& bundleID = *app.bundleIdentifier;
    record(appMap_, bundleID, kAppLimit);
    schedulePersist();
    if (app.pid < 1 || !platform().accessibility)
        return;
    auto& accessibility = *platform().accessibility;
    AXElementRef window =
        accessibility.copyAttribute(accessibility.applicationElement(app.pid), AX::focusedWindow)
            .asElement();
    if (!window)
        return;
    std::string title = accessibility.copyAttribute(window, AX::title).asString().value_or("");
    record(windowMap_, bundleID + "::" + title, kWindowLimit);
    schedulePersist();
}

void MRUStore::record(TimeMap& map, const std::string& key, std::size_t limit) {
    const Timestamp now = platform().clock->now();
    std::lock_guard lock(mutex_);
    map[key] = now;
    cap(map, limit);
}

MRUStore::Timestamp MRUStore::score(const std::string& mruKey,
                                    const std::optional<std::string>& bundleID) const {
    std::lock_guard lock(mutex_);
    Timestamp item = kDistantPast;
    if (auto it = windowMap_.find(mruKey); it != windowMap_.end())
        item = it->second;
    Timestamp app = kDistantPast;
    if (bundleID) {
        if (auto it = appMap_.find(*bundleID); it != appMap_.end())
            app = it->second;
    }
    return std::max(item, app);
}

MRUStore::TimeMap MRUStore::windowMap() const {
    std::lock_guard lock(mutex_);
    return windowMap_;
}

MRUStore::TimeMap MRUStore::appMap() const {
    std::lock_guard lock(mutex_);
    return appMap_;
}

void MRUStore::cap(TimeMap& map, std::size_t limit) {
    if (map.size() <= limit)
        return;
    Timestamp cutoff = kDistantPast;
    if (limit > 0) {
        std::vector<Timestamp> times;
        times.reserve(map.size());
        for (const auto& entry : map)
            times.push_back(entry.second);
        auto nth = times.end() - static_cast<std::ptrdiff_t>(limit);
        std::nth_element(times.begin(), nth, times.end());
        cutoff = *nth;
    }
    std::erase_if(map, [cutoff](const auto& entry) { return entry.second < cutoff; });
}

void MRUStore::schedulePersist() {
    std::weak_ptr<MRUStore> weak = weak_from_this();
    platform().dispatch->async([weak] {
        auto store = weak.lock();
        if (!store)
            return;
        if (store->pendingPersist_)
            store->pendingPersist_->cancel();
        store->pendingPersist_ = platform().dispatch->asyncAfter(kPersistDelay, [weak] {
            if (auto current = weak.lock())
                current->persist();
        });
    });
}

void MRUStore::persist() {
    TimeMap windows;
    TimeMap apps;
    {
        std::lock_guard lock(mutex_);
        windows = windowMap_;
        apps = appMap_;
    }
    auto& defaults = *platform().defaults;
    defaults.set(kWindowKey, toDictionary(windows));
    defaults.set(kAppKey, toDictionary(apps));
}

}  // namespace vantlo
