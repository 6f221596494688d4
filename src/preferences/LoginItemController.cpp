#include "preferences/LoginItemController.h"

#include "platform/Platform.h"

namespace vantlo::LoginItemController {

bool isEnabled() {
    auto& items = platform().loginItems;
    return items && items->status() == LoginItemStatus::enabled;
}

std::optional<std::string> setEnabled(bool enabled) {
    auto& items = platform().loginItems;
    if (!items)
        return std::string("this desktop has no login items");
    bool registered = items->status() == LoginItemStatus::enabled;
    if (enabled == registered)
        return std::nullopt;
    std::string error = enabled ? items->registerItem() : items->unregisterItem();
    if (error.empty())
        return std::nullopt;
    return error;
}

}  // namespace vantlo::LoginItemController
