// Feeds arbitrary addresses to the page-icon address builder: a page address, and after the first
// line break the icon the browser reported for it. Whatever they are, the result is empty or
// parses back to the same host and page and, only when the icon may be loaded, the same icon, so
// neither address can smuggle extra query items.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browser/BrowserTabEnumerator.h"
#include "browser/UrlParts.h"

using namespace vantlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string input(reinterpret_cast<const char*>(data), size);
    auto lineBreak = input.find('\n');
    std::string page = input.substr(0, lineBreak);
    std::string icon = lineBreak == std::string::npos ? "" : input.substr(lineBreak + 1);
    std::string address = icon.empty() ? BrowserTabEnumerator::faviconURL(page)
                                       : BrowserTabEnumerator::faviconURL(page, icon);
    if (address.empty())
        return 0;
    auto parts = UrlParts::parse(address);
    auto original = UrlParts::parse(page);
    bool carriesIcon = !icon.empty() && BrowserTabEnumerator::isLoadablePageIcon(icon);
    if (!parts || !original || parts->scheme != "vantlo-favicon" || parts->host != original->host ||
        parts->queryItem("page") != page || parts->queryItems.size() != (carriesIcon ? 3u : 2u) ||
        (carriesIcon && parts->queryItem("icon") != icon))
        std::abort();
    return 0;
}
