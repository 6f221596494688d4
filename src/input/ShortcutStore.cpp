#include "input/ShortcutStore.h"

#include <nlohmann/json.hpp>
#include <string>

#include "platform/Platform.h"

namespace vantlo {
namespace {

std::optional<nlohmann::json> storedJson() {
    auto data = platform().defaults->data(ShortcutStore::defaultsKey);
    if (!data)
        return std::nullopt;
    auto json = nlohmann::json::parse(data->bytes.begin(), data->bytes.end(), nullptr,
                                      /*allow_exceptions=*/false);
    if (json.is_discarded() || !json.is_object())
        return std::nullopt;
    return json;
}

void postChanged() {
    platform().notifications->post(ShortcutStore::changedNotification);
}

}  // namespace

ShortcutTable ShortcutStore::all() {
    auto json = storedJson();
    if (!json)
        return {};
    ShortcutTable overrides;
    for (const auto& [name, value] : json->items()) {
        // One bad member spoils the whole record, as a whole-map decode would.
        auto config = HotkeyConfig::fromJson(value);
        if (!config)
            return {};
        if (auto action = ShortcutActions::fromRawValue(name))
            overrides[*action] = *config;
    }
    return overrides;
}

ShortcutTable ShortcutStore::allResolved() {
    auto overrides = all();
    ShortcutTable resolved;
    for (auto action : ShortcutActions::allCases()) {
        auto it = overrides.find(action);
        resolved[action] =
            it != overrides.end() ? it->second : ShortcutActions::defaultBinding(action);
    }
    return resolved;
}

HotkeyConfig ShortcutStore::binding(ShortcutAction action) {
    return allResolved().at(action);
}

void ShortcutStore::set(const HotkeyConfig& config, ShortcutAction action) {
    auto overrides = all();
    overrides[action] = config;
    save(overrides);
    postChanged();
}

void ShortcutStore::reset(ShortcutAction action) {
    auto overrides = all();
    overrides.erase(action);
    save(overrides);
    postChanged();
}

void ShortcutStore::resetAll() {
    platform().defaults->remove(defaultsKey);
    postChanged();
}

void ShortcutStore::save(const ShortcutTable& overrides) {
    auto json = nlohmann::json::object();
    for (const auto& [action, config] : overrides)
        json[ShortcutActions::rawValue(action)] = config.toJson();
    auto text = json.dump();
    platform().defaults->set(defaultsKey, Data{{text.begin(), text.end()}});
}

}  // namespace vantlo
