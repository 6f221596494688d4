#include "model/SwitchItem.h"

#include <array>
#include <string_view>

#include "model/UrlHost.h"
#include "settings/Localization.h"

namespace vantlo {
namespace {

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};

// Prefixes dropped from a tab's address before matching, tried in this order, at most one.
constexpr std::array<std::string_view, 9> kAddressPrefixes = {
    "https://www.", "http://www.", "https://", "http://", "chrome://",
    "edge://",      "brave://",    "arc://",   "about:",
};

std::string cleanedAddress(const std::string& url) {
    for (std::string_view prefix : kAddressPrefixes) {
        if (url.starts_with(prefix))
            return url.substr(prefix.size());
    }
    return url;
}

std::string windowKey(const WindowItem& window) {
    return window.appBundleID.value_or(window.appName) + "::" + window.title;
}

std::string tabSubtitle(const TabItem& tab) {
    auto host = urlHost(tab.url);
    if (!host)
        return tab.browserAppName;
    return tab.browserAppName + " · " + *host;
}

// The folder that holds the application bundle.
std::string containingFolder(const std::string& path) {
    std::string_view trimmed = path;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.remove_suffix(1);
    auto slash = trimmed.rfind('/');
    if (slash == std::string_view::npos)
        return "";
    if (slash == 0)
        return "/";
    return std::string(trimmed.substr(0, slash));
}

}  // namespace

const Uuid& SwitchItem::id() const {
    return std::visit([](const auto& payload) -> const Uuid& { return payload.id; }, *payload_);
}

std::size_t SwitchItem::hash() const {
    std::size_t seed = static_cast<std::size_t>(kind());
    return seed * 0x9E3779B97F4A7C15ull ^ id().hash();
}

std::string SwitchItem::mruKey() const {
    return std::visit(Overloaded{
                          [](const WindowItem& w) { return windowKey(w); },
                          [](const TabItem& t) { return t.mruKey(); },
                          [](const TabGroupItem& g) { return g.activeTab().mruKey(); },
                          [](const WindowGroupItem& g) { return "windowGroup::" + g.appBundleID; },
                          [](const AppItem& a) { return "app::" + a.bundleID; },
                      },
                      *payload_);
}

std::string SwitchItem::title() const {
    return std::visit(Overloaded{
                          [](const WindowItem& w) { return w.title.empty() ? w.appName : w.title; },
                          [](const TabItem& t) { return t.title.empty() ? t.url : t.title; },
                          [](const TabGroupItem& g) { return g.appName; },
                          [](const WindowGroupItem& g) { return g.appName; },
                          [](const AppItem& a) { return a.name; },
                      },
                      *payload_);
}

std::string SwitchItem::subtitle() const {
    return std::visit(Overloaded{
                          [](const WindowItem& w) { return w.appName; },
                          [](const TabItem& t) { return tabSubtitle(t); },
                          [](const TabGroupItem& g) {
                              return localizedFormat("%d open tabs", {std::int64_t(g.tabs.size())});
                          },
                          [](const WindowGroupItem& g) {
                              return localizedFormat("%d open windows",
                                                     {std::int64_t(g.windows.size())});
                          },
                          [](const AppItem& a) { return containingFolder(a.path); },
                      },
                      *payload_);
}

ImageRef SwitchItem::icon() const {
    return std::visit(Overloaded{
                          [](const WindowItem& w) { return w.appIcon; },
                          [](const TabItem& t) { return t.appIcon; },
                          [](const TabGroupItem& g) { return g.appIcon; },
                          [](const WindowGroupItem& g) { return g.appIcon; },
                          [](const AppItem& a) { return a.icon; },
                      },
                      *payload_);
}

std::optional<std::string> SwitchItem::bundleID() const {
    return std::visit(Overloaded{
                          [](const WindowItem& w) { return w.appBundleID; },
                          [](const TabItem& t) { return std::optional(t.browserBundleID); },
                          [](const TabGroupItem& g) { return std::optional(g.browserBundleID); },
                          [](const WindowGroupItem& g) { return std::optional(g.appBundleID); },
                          [](const AppItem& a) { return std::optional(a.bundleID); },
                      },
                      *payload_);
}

std::optional<int> SwitchItem::groupCount() const {
    if (auto group = tabGroup())
        return static_cast<int>(group->tabs.size());
    if (auto group = windowGroup())
        return static_cast<int>(group->windows.size());
    return std::nullopt;
}

std::vector<MatchField> SwitchItem::matchFields() const {
    return std::visit(
        Overloaded{
            [](const WindowItem& w) {
                return std::vector<MatchField>{{w.appName, 1.0}, {w.title, 1.0}};
            },
            [](const TabItem& t) {
                return std::vector<MatchField>{{t.title, 1.0}, {cleanedAddress(t.url), 0.6}};
            },
            [](const TabGroupItem& g) {
                return std::vector<MatchField>{{g.appName, 1.0}, {"chrome tabs", 0.8}};
            },
            [](const WindowGroupItem& g) {
                return std::vector<MatchField>{{g.appName, 1.0}};
            },
            [](const AppItem& a) {
                return std::vector<MatchField>{{a.name, 0.95}};
            },
        },
        *payload_);
}

}  // namespace vantlo
