#include "platform/linux/BridgeWindow.h"

namespace vantlo {
namespace {

using nlohmann::json;

template <class T>
T field(const json& object, const char* key, T fallback) {
    auto it = object.find(key);
    if (it == object.end())
        return fallback;
    if constexpr (std::is_same_v<T, std::string>)
        return it->is_string() ? it->get<std::string>() : fallback;
    else if constexpr (std::is_same_v<T, bool>)
        return it->is_boolean() ? it->get<bool>() : fallback;
    else
        return it->is_number() ? it->get<T>() : fallback;
}

bool hasIntegerID(const json& object) {
    auto it = object.find("id");
    return it != object.end() && (it->is_number_integer() || it->is_number_unsigned());
}

std::vector<BridgeTab> parseTabs(const json& window) {
    std::vector<BridgeTab> tabs;
    auto list = window.find("tabs");
    if (list == window.end() || !list->is_array())
        return tabs;
    for (const auto& entry : *list) {
        if (!entry.is_object() || !hasIntegerID(entry))
            continue;
        BridgeTab tab;
        tab.id = entry["id"].get<std::int64_t>();
        tab.title = field<std::string>(entry, "title", "");
        tab.url = field<std::string>(entry, "url", "");
        tab.favIconUrl = field<std::string>(entry, "favIconUrl", "");
        tab.active = field<bool>(entry, "active", false);
        tab.pinned = field<bool>(entry, "pinned", false);
        tabs.push_back(std::move(tab));
    }
    return tabs;
}

}  // namespace

const BridgeTab* BridgeWindow::activeTab() const {
    for (const auto& tab : tabs) {
        if (tab.active)
            return &tab;
    }
    return nullptr;
}

std::vector<BridgeWindow> parseBridgeWindows(const json& listResult) {
    std::vector<BridgeWindow> windows;
    if (!listResult.is_object())
        return windows;
    auto list = listResult.find("windows");
    if (list == listResult.end() || !list->is_array())
        return windows;
    for (const auto& entry : *list) {
        if (!entry.is_object() || !hasIntegerID(entry))
            continue;
        BridgeWindow window;
        window.id = entry["id"].get<std::int64_t>();
        window.focused = field<bool>(entry, "focused", false);
        window.minimized = field<std::string>(entry, "state", "") == "minimized";
        window.bounds = {field<double>(entry, "left", 0), field<double>(entry, "top", 0),
                         field<double>(entry, "width", 0), field<double>(entry, "height", 0)};
        window.tabs = parseTabs(entry);
        windows.push_back(std::move(window));
    }
    return windows;
}

}  // namespace vantlo
