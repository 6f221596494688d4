// Feeds arbitrary addresses to the page-icon address builder. Whatever the address, the result is
// empty or parses back to the same host and page, so no address can smuggle extra query items.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "browser/BrowserTabEnumerator.h"
#include "browser/UrlParts.h"

using namespace vantlo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string page(reinterpret_cast<const char*>(data), size);
    std::string address = BrowserTabEnumerator::faviconURL(page);
    if (address.empty())
        return 0;
    auto parts = UrlParts::parse(address);
    auto original = UrlParts::parse(page);
    if (!parts || !original || parts->scheme != "vantlo-favicon" || parts->host != original->host ||
        parts->queryItem("page") != page || parts->queryItems.size() != 2)
        std::abort();
    return 0;
}
