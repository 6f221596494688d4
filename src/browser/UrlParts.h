#pragma once
// The parts of an address that page icons need, read with an RFC 3986 parser, and the query
// encoding used to build such addresses.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantlo {

struct UrlParts {
    std::string scheme;  // as written; empty when none
    std::string host;    // without brackets for IPv6 literals; empty when none
    // Query items in order, names and values percent-decoded.
    std::vector<std::pair<std::string, std::string>> queryItems;

    // Nothing when the text is not a URI reference.
    static std::optional<UrlParts> parse(std::string_view text);
    // The first query item called `name`.
    std::optional<std::string> queryItem(std::string_view name) const;
    // The host as it is written in an address (IPv6 literals in brackets).
    std::string hostForAddress() const;
    // Everything but unreserved characters percent-encoded, so the value survives inside a query
    // item whatever it contains ("&", "=", "#", spaces, ...).
    static std::string encodeQueryValue(std::string_view value);
};

}  // namespace vantlo
