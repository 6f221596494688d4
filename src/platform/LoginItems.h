#pragma once
// Stands in for the system's start-at-login registration of this program.

#include <string>

namespace vantlo {

enum class LoginItemStatus { notRegistered, enabled, requiresApproval, notFound };

class LoginItems {
  public:
    virtual ~LoginItems() = default;
    virtual LoginItemStatus status() = 0;
    // Each answers an empty string on success, else an error description.
    virtual std::string registerItem() = 0;
    virtual std::string unregisterItem() = 0;
};

}  // namespace vantlo
