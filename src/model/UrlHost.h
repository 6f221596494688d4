#pragma once
// The host part of an address, read with an RFC 3986 parser.

#include <optional>
#include <string>
#include <string_view>

namespace vantlo {

// The host of `url` (for "https://www.example.com:8080/a" that is "www.example.com"); nothing
// when the address does not parse or has no host or an empty one. IPv6 hosts come without
// their brackets.
std::optional<std::string> urlHost(std::string_view url);

}  // namespace vantlo
