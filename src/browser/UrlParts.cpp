#include "browser/UrlParts.h"

#include <uriparser/Uri.h>

namespace vantlo {
namespace {

std::string text(const UriTextRangeA& range) {
    if (!range.first || !range.afterLast)
        return {};
    return std::string(range.first, range.afterLast);
}

std::vector<std::pair<std::string, std::string>> dissectQuery(const UriUriA& uri) {
    std::vector<std::pair<std::string, std::string>> items;
    if (!uri.query.first || uri.query.first == uri.query.afterLast)
        return items;
    UriQueryListA* list = nullptr;
    int count = 0;
    if (uriDissectQueryMallocExA(&list, &count, uri.query.first, uri.query.afterLast, URI_FALSE,
                                 URI_BR_DONT_TOUCH) != URI_SUCCESS)
        return items;
    for (auto* item = list; item; item = item->next)
        items.emplace_back(item->key ? item->key : "", item->value ? item->value : "");
    uriFreeQueryListA(list);
    return items;
}

}  // namespace

std::optional<UrlParts> UrlParts::parse(std::string_view source) {
    std::string owned(source);
    UriUriA uri;
    const char* errorPos = nullptr;
    if (uriParseSingleUriExA(&uri, owned.data(), owned.data() + owned.size(), &errorPos) !=
        URI_SUCCESS)
        return std::nullopt;
    UrlParts parts;
    parts.scheme = text(uri.scheme);
    parts.host = text(uri.hostText);
    parts.queryItems = dissectQuery(uri);
    uriFreeUriMembersA(&uri);
    return parts;
}

std::optional<std::string> UrlParts::queryItem(std::string_view name) const {
    for (const auto& [key, value] : queryItems) {
        if (key == name)
            return value;
    }
    return std::nullopt;
}

std::string UrlParts::hostForAddress() const {
    if (host.find(':') != std::string::npos)
        return "[" + host + "]";
    return host;
}

std::string UrlParts::encodeQueryValue(std::string_view value) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size() * 3);
    for (unsigned char c : value) {
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += hex[c >> 4];
            encoded += hex[c & 0x0F];
        }
    }
    return encoded;
}

}  // namespace vantlo
