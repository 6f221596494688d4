#include "model/UrlHost.h"

#include <uriparser/Uri.h>

namespace vantlo {

std::optional<std::string> urlHost(std::string_view url) {
    UriUriA uri;
    const char* errorPos = nullptr;
    if (uriParseSingleUriExA(&uri, url.data(), url.data() + url.size(), &errorPos) != URI_SUCCESS)
        return std::nullopt;
    std::optional<std::string> host;
    const char* first = uri.hostText.first;
    const char* afterLast = uri.hostText.afterLast;
    if (first != nullptr && afterLast != nullptr && afterLast > first)
        host = std::string(first, afterLast);
    uriFreeUriMembersA(&uri);
    return host;
}

}  // namespace vantlo
