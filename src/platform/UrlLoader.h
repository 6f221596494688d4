#pragma once
// Stands in for the system's address loading (HTTP downloads of page icons).

#include <functional>
#include <optional>
#include <string>

#include "platform/PropertyValue.h"

namespace vantlo {

struct UrlResponse {
    int statusCode = 0;
    std::string mimeType;
    Data body;
};

class UrlLoader {
  public:
    // Called exactly once, on any thread: a response, or nothing and an error description.
    using Completion = std::function<void(std::optional<UrlResponse>, std::string error)>;

    virtual ~UrlLoader() = default;

    // Loads `url`. Implementations bound the time (`timeoutSeconds`) and the body size and
    // refuse schemes they do not serve, answering with an error.
    virtual void load(const std::string& url, double timeoutSeconds, Completion completion) = 0;
};

}  // namespace vantlo
