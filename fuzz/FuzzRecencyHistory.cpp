// Feeds arbitrary settings files to the recency history, which keeps two maps of names to dates
// in the settings ("Vantlo.MRU.window", "Vantlo.MRU.app"). Whatever the file: no crash; a map of
// dates loads whole and anything else loads as empty; scores are the loaded times; a new use
// keeps the map within its bound; and what is saved reads back the same through the file's JSON.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "discovery/MRUStore.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlatform.h"
#include "platform/posix/PropertyJson.h"

using namespace vantlo;

namespace {

// The map the store should load from the stored value: every member a date, or nothing.
MRUStore::TimeMap expectedMap(const std::optional<PropertyValue>& stored) {
    MRUStore::TimeMap map;
    const PropertyDictionary* dictionary = stored ? stored->asDictionary() : nullptr;
    if (dictionary == nullptr)
        return map;
    for (const auto& [name, value] : *dictionary) {
        if (!value.isDate())
            return {};
        map.emplace(name, value.asDate()->secondsSince1970);
    }
    return map;
}

// Writes the stored value out as the settings file would and reads it back.
void throughJson(MemoryDefaults& defaults, const char* key) {
    auto value = defaults.object(key);
    FUZZ_CHECK(value.has_value());
    auto text = PropertyJson::encode(*value).dump();
    auto decoded = PropertyJson::decode(nlohmann::json::parse(text));
    FUZZ_CHECK(decoded.has_value());
    defaults.set(key, *decoded);
}

// The newest `limit` entries stay, with any that tie with the oldest of them.
void checkBound(const MRUStore::TimeMap& map, std::size_t limit) {
    if (map.size() <= limit)
        return;
    auto oldest = std::min_element(map.begin(), map.end(), [](const auto& a, const auto& b) {
                      return a.second < b.second;
                  })->second;
    auto newer = std::count_if(map.begin(), map.end(),
                               [oldest](const auto& entry) { return entry.second > oldest; });
    FUZZ_CHECK(static_cast<std::size_t>(newer) < limit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzPlatform fake;
    fake.reset();
    MRUStore::resetShared();
    auto document = nlohmann::json::parse(data, data + size, nullptr, /*allow_exceptions=*/false);
    if (!document.is_object())
        return 0;
    for (const char* key : {MRUStore::kWindowKey, MRUStore::kAppKey}) {
        if (auto it = document.find(key); it != document.end()) {
            if (auto value = PropertyJson::decode(*it))
                fake.defaults->set(key, *value);
        }
    }
    auto windows = expectedMap(fake.defaults->object(MRUStore::kWindowKey));
    auto apps = expectedMap(fake.defaults->object(MRUStore::kAppKey));

    auto& store = MRUStore::shared();
    FUZZ_CHECK(store.windowMap() == windows);
    FUZZ_CHECK(store.appMap() == apps);
    for (const auto& [name, time] : windows) {
        auto app = apps.find(name);
        double expected = std::max(time, MRUStore::kDistantPast);
        if (app != apps.end())
            expected = std::max(expected, app->second);
        FUZZ_CHECK(store.score(name, name) == expected);
    }

    const std::string used = "org.example.Fuzz::Used window";
    store.touch(used);
    auto touched = store.windowMap();
    checkBound(touched, MRUStore::kWindowLimit);
    auto newer = std::count_if(touched.begin(), touched.end(),
                               [&](const auto& entry) { return entry.second > fake.clock->now(); });
    FUZZ_CHECK(touched.count(used) == 1 ||
               static_cast<std::size_t>(newer) >= MRUStore::kWindowLimit);

    fake.dispatch->advance(MRUStore::kPersistDelay + 0.1);
    throughJson(*fake.defaults, MRUStore::kWindowKey);
    throughJson(*fake.defaults, MRUStore::kAppKey);
    MRUStore::resetShared();
    auto& reloaded = MRUStore::shared();
    FUZZ_CHECK(reloaded.windowMap() == touched);
    FUZZ_CHECK(reloaded.appMap() == apps);
    MRUStore::resetShared();
    return 0;
}
