// The page-icon address of a tab: "vantlo-favicon://<host>?page=<address>&scheme=<scheme>",
// followed by "&icon=<address>" when the browser told which icon it shows for the page.

#include <algorithm>

#include "browser/BrowserTabEnumerator.h"
#include "browser/UrlParts.h"

namespace vantlo::BrowserTabEnumerator {

std::string faviconURL(std::string_view pageURL) {
    auto page = UrlParts::parse(pageURL);
    if (!page || page->host.empty())
        return {};
    std::string scheme = page->scheme.empty() ? "https" : page->scheme;
    return "vantlo-favicon://" + page->hostForAddress() +
           "?page=" + UrlParts::encodeQueryValue(pageURL) +
           "&scheme=" + UrlParts::encodeQueryValue(scheme);
}

bool isLoadablePageIcon(std::string_view address) {
    // A browser serialises icon addresses with control characters percent-encoded: raw ones are
    // not an address, and a NUL would cut the icon short on its way through the query.
    if (std::any_of(address.begin(), address.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
        return false;
    if (address.starts_with("data:"))
        return address.size() <= kMaxDataIconLength;
    auto parts = UrlParts::parse(address);
    return parts && (parts->scheme == "http" || parts->scheme == "https") && !parts->host.empty();
}

std::string faviconURL(std::string_view pageURL, std::string_view browserIconURL) {
    std::string address = faviconURL(pageURL);
    if (address.empty() || !isLoadablePageIcon(browserIconURL))
        return address;
    return address + "&icon=" + UrlParts::encodeQueryValue(browserIconURL);
}

void applyBrowserIcons(std::vector<TabItem>& tabs,
                       const std::map<std::string, std::string>& icons) {
    if (icons.empty())
        return;
    for (auto& tab : tabs) {
        auto icon = icons.find(tab.url);
        if (icon != icons.end())
            tab.faviconURL = faviconURL(tab.url, icon->second);
    }
}

}  // namespace vantlo::BrowserTabEnumerator
