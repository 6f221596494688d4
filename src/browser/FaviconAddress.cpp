// The page-icon address of a tab: "vantlo-favicon://<host>?page=<address>&scheme=<scheme>".

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

}  // namespace vantlo::BrowserTabEnumerator
